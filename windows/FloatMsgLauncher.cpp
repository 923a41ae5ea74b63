#include "windows/FloatMsgLauncher.h"

#include "common/AppPaths.h"
#include "common/MsgBox.h"
#include "windows/FloatMsgText.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

QString FloatMsgProgramPath()
{
#ifdef Q_OS_WIN
    return AppPath(QStringLiteral("FloatMsg.exe"));
#else
    return AppPath(QStringLiteral("FloatMsg"));
#endif
}

void FloatMsgLauncher::show(const QString& message, int16_t displayTime)
{
    if (m_state == Missing)
        return;
    if (m_state == NotLookedFor) {
        if (!QFileInfo(m_path).isFile()) {
            m_state = Missing;
            MsgBox(QStringLiteral("플로팅 메시지박스 파일을 찾을 수 없습니다.\r\n") +
                   QDir::toNativeSeparators(m_path));
            return;
        }
        m_state = Found;
    }
    QProcess process;
    process.setProgram(m_path);
#ifdef Q_OS_WIN
    // The program reads its native command line, which starts with the blank.
    process.setNativeArguments(FloatMsgParameter(message, displayTime));
#else
    process.setArguments({FloatMsgParameter(message, displayTime)});
#endif
    process.startDetached(); // a failed start is not reported
}

FloatMsgLauncher& FloatMsg()
{
    static FloatMsgLauncher launcher(FloatMsgProgramPath());
    return launcher;
}

void ShowFloatMsg(const QString& message, int16_t displayTime, int16_t /*number*/, uint32_t /*colour*/)
{
    FloatMsg().show(message, displayTime);
}
