#include "app/CommandLine.h"
#include "dialogs/KoreanLocale.h"
#include "platform/UpdateHandshake.h"
#include "shell/modMain.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>
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

} // namespace

int main(int argc, char* argv[])
{
    if (const int code = RunCommandLine(argc, argv); code >= 0)
        return code;
    ensureUtf8Locale();
    QApplication app(argc, argv);
    // Desktops match the windows with the menu entry asmanager.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("asmanager"));
    // Started by filechanger after an update: it keeps the previous program until now.
    ReportStarted();

    // Standard buttons read 확인/취소/예/아니요, calendars and file dialogs speak Korean.
    UseKoreanLocale();

    Main();
    return app.exec();
}
