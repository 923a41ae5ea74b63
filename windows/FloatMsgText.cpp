#include "windows/FloatMsgText.h"

#include <algorithm>

QString FloatMsgParameter(const QString& message, int displayTime)
{
    return QLatin1Char(' ') + message + QStringLiteral("/T") + QString::number(displayTime);
}

FloatMsgText ParseFloatMsgParameter(const QString& parameter)
{
    FloatMsgText out;
    out.displayTime = kFloatMsgDefaultTime;
    QString message = parameter;
    const qsizetype at = parameter.lastIndexOf(QStringLiteral("/T"));
    if (at >= 0) {
        message = parameter.left(at);
        bool ok = false;
        const int time = parameter.mid(at + 2).trimmed().toInt(&ok);
        if (ok)
            out.displayTime = std::clamp(time, kFloatMsgMinTime, kFloatMsgMaxTime);
    }
    if (message.startsWith(QLatin1Char(' ')))
        message.remove(0, 1);
    out.message = message;
    return out;
}
