#include "controls/PhoneTime.h"

#include "common/MsgBox.h"
#include "common/Numbers.h"
#include "controls/NumberText.h"

#include <QRegularExpression>

namespace {

// The run-time error of a middle group with a negative length.
constexpr long kInvalidCall = 5;
const char* const kInvalidCallText = "Invalid procedure call or argument";

QString digitsOf(const QString& text)
{
    QString out;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    return out;
}

} // namespace

QString FormatTelNo(const QString& sTelNo)
{
    QString result = sTelNo;
    if (sTelNo.size() < 6)
        return result;
    if (!IsNumeric(sTelNo))
        result = digitsOf(sTelNo);
    if (!IsNumeric(result) || result.size() <= 4)
        return result;

    qsizetype n = 0;
    if (result.startsWith(QLatin1String("02")))
        n = 2;
    else if (result.startsWith(QLatin1String("0505")))
        n = 4;
    else if (result.startsWith(QLatin1Char('0')) && result.size() >= 9)
        n = 3;

    const qsizetype len = result.size();
    if (n == 0)
        return result.left(len - 4) + QLatin1Char('-') + result.right(4);
    const qsizetype middle = len - n - 4;
    if (middle < 0) {
        // Too few digits for the area prefix: reported, and the digits are kept.
        ShowProcError({kInvalidCall, {}, QLatin1String(kInvalidCallText)}, QStringLiteral("FormatTelNo"),
                      ErrScope::UserControl, QStringLiteral("HCText"));
        return result;
    }
    return result.left(n) + QLatin1Char('-') + result.mid(n, middle) + QLatin1Char('-') + result.right(4);
}

QString FormatTime(const QString& sTime)
{
    QString s = sTime;
    const qsizetype len = s.size();
    if (len == 0 || len >= 6 || len == 3)
        return {};
    if (len <= 2)
        s = numtext::format(s, 0, false, 2) + QStringLiteral(":00");
    else if (len == 4 || s.at(2) != QLatin1Char(':'))
        s = s.left(2) + QLatin1Char(':') + s.right(2);

    static const QRegularExpression time(QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = time.match(s);
    if (m.hasMatch()) {
        const int hours = m.captured(1).toInt();
        const int minutes = m.captured(2).toInt();
        if (hours <= 23 && minutes <= 59)
            return QStringLiteral("%1:%2")
                .arg(hours, 2, 10, QLatin1Char('0'))
                .arg(minutes, 2, 10, QLatin1Char('0'));
    }
    MsgInfo(QStringLiteral("[") + s + QStringLiteral("]는 시간형식이 아닙니다.(00:00~23:59)\r\n") +
            QStringLiteral("시:분 방식으로 입력하세요.\r\n") + QStringLiteral("예) 14:25 또는 1425\r\n") +
            QStringLiteral("     01:05 또는 0105"));
    return {};
}
