#include "app/CommandLine.h"

#include "Version.h"
#include "platform/MacAddress.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* kHelp =
    "Usage: asmanager [OPTION]\n"
    "Starts the A/S client (타벤 A/S관리): search, enter and answer after-service requests.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "      --version  print the program's version and exit\n"
    "      --print-mac\n"
    "                 print the network adapter address this PC is registered by in\n"
    "                 the PC allow-list (user_mac.mac_addr) and exit\n"
    "\n"
    "In the A/S list window, Ctrl+Shift+I opens the Excel import, which builds the INSERT\n"
    "statements of new requests from a worksheet for an operator to run.\n"
    "\n"
    "Qt's standard options (-platform, -style, -session, ...) are passed on to Qt.\n"
    "The site configuration is site.ini beside the program, else /etc/asmanager/site.ini.\n";

// Qt's own options; those in the first list take a value ("-style fusion", "-style=fusion").
constexpr std::string_view kQtValueOptions[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "style",           "stylesheet",         "display",       "geometry"};
constexpr std::string_view kQtFlagOptions[] = {"reverse", "widgetcount"};

// 0 when `arg` is none of Qt's options, else how many arguments it takes up.
int qtOptionLength(std::string_view arg)
{
    if (arg.size() < 2 || arg[0] != '-')
        return 0;
    arg.remove_prefix(arg.substr(0, 2) == "--" ? 2 : 1); // Qt accepts both forms
    const size_t eq = arg.find('=');
    const std::string_view name = arg.substr(0, eq);
    for (std::string_view option : kQtValueOptions)
        if (name == option)
            return eq == std::string_view::npos ? 2 : 1;
    for (std::string_view option : kQtFlagOptions)
        if (arg == option)
            return 1;
    return 0;
}

int printMac()
{
    AppError error;
    const QString mac = PickMacAddress(ListNetAdapters(&error));
    if (mac.isEmpty()) {
        std::fprintf(stderr, "asmanager: no network adapter with an address%s%s\n", error.isSet() ? ": " : "",
                     qPrintable(error.description));
        return 1;
    }
    std::printf("%s\n", qPrintable(mac));
    return 0;
}

} // namespace

int RunCommandLine(int argc, char* argv[])
{
    std::string_view command;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "--version" || arg == "--print-mac") {
            if (command.empty())
                command = arg;
        } else if (const int length = qtOptionLength(arg); length > 0) {
            i += length - 1;
        } else {
            std::fprintf(stderr, "asmanager: %s '%s'\n\n%s",
                         arg.starts_with('-') ? "unknown option" : "unexpected argument", argv[i], kHelp);
            return 2;
        }
    }
    if (command == "--version") {
        std::printf("%s\n", AS_VERSION_TEXT);
        return 0;
    }
    if (command == "--print-mac")
        return printMac();
    if (!command.empty()) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    return -1;
}
