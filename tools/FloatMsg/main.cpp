// FloatMsg " message/Ttime": shows the message for about `time` milliseconds without
// taking the focus, then ends.

#include "FloatMsgWindow.h"
#include "windows/FloatMsgText.h"

#include <QApplication>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>

namespace {
// The parameter text is the native command line after the program name, blank included.
QString parameterText()
{
    const QString line = QString::fromWCharArray(GetCommandLineW());
    qsizetype at = 0;
    if (line.startsWith(QLatin1Char('"')))
        at = line.indexOf(QLatin1Char('"'), 1);
    else
        at = line.indexOf(QLatin1Char(' '));
    return at < 0 ? QString() : line.mid(line.startsWith(QLatin1Char('"')) ? at + 1 : at);
}
} // namespace
#endif

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
#ifdef Q_OS_WIN
    const QString parameter = parameterText();
#else
    const QString parameter = app.arguments().mid(1).join(QLatin1Char(' '));
#endif
    const FloatMsgText text = ParseFloatMsgParameter(parameter);
    if (text.message.trimmed().isEmpty())
        return 0;
    FloatMsgWindow window(text.message);
    window.show();
    QTimer::singleShot(text.displayTime, &app, &QCoreApplication::quit);
    return app.exec();
}
