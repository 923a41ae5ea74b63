#include "Version.h"
#include "platform/MacAddress.h"
#include "platform/UpdateHandshake.h"
#include "shell/modMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>

namespace {

// The program always runs with UTF-8 as the locale's character set.
void ensureUtf8Locale()
{
    std::setlocale(LC_ALL, "");
    if (QByteArray(nl_langinfo(CODESET)) == "UTF-8")
        return;
    setenv("LC_ALL", "C.UTF-8", 1);
    std::setlocale(LC_ALL, "C.UTF-8");
}

// `--version`: the program's version. `--print-mac`: the adapter address the PC
// allow-list knows this PC by, as administrators register it in user_mac.mac_addr.
// Returns the exit code, or -1 when the argument is none of these.
int runInfoCommand(const char* arg)
{
    if (std::strcmp(arg, "--version") == 0) {
        std::printf("%s\n", AS_VERSION_TEXT);
        return 0;
    }
    if (std::strcmp(arg, "--print-mac") == 0) {
        AppError error;
        const QString mac = PickMacAddress(ListNetAdapters(&error));
        if (mac.isEmpty()) {
            std::fprintf(stderr, "asmanager: no network adapter with an address%s%s\n",
                         error.isSet() ? ": " : "", qPrintable(error.description));
            return 1;
        }
        std::printf("%s\n", qPrintable(mac));
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1) {
        if (const int code = runInfoCommand(argv[1]); code >= 0)
            return code;
    }
    ensureUtf8Locale();
    QApplication app(argc, argv);
    // Started by filechanger after an update: it keeps the previous program until now.
    ReportStarted();

    // Standard buttons read 확인/취소/예/아니요.
    QTranslator qtKorean;
    if (qtKorean.load(QLocale(QLocale::Korean, QLocale::SouthKorea), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtKorean);

    Main();
    return app.exec();
}
