#include "controls/NumberText.h"

#include "common/Numbers.h"

#include <optional>

namespace numtext {
namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
bool isSign(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('+');
}

bool hasNonZeroDigit(QStringView digits)
{
    for (QChar c : digits)
        if (c != QLatin1Char('0'))
            return true;
    return false;
}

} // namespace

QString format(const QString& text, int decimals, bool separators, int minIntDigits)
{
    const std::optional<DecimalDigits> n = ParseDecimal(text);
    return n ? FormatDecimal(*n, decimals, separators, minIntDigits) : text;
}

QString formatDashedTen(const QString& text)
{
    const std::optional<DecimalDigits> n = ParseDecimal(text);
    if (!n)
        return text;
    const DecimalDigits r = RoundDecimal(*n, 0);
    const QString d = r.intDigits.rightJustified(10, QLatin1Char('0'));
    const qsizetype first = d.size() - 7;
    return (r.negative ? QStringLiteral("-") : QString()) + d.left(first) + QLatin1Char('-') +
           d.mid(first, 3) + QLatin1Char('-') + d.right(4);
}

bool leadingValueIsZero(const QString& text)
{
    bool started = false;
    bool point = false;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        if (!started && isSign(c)) {
            started = true;
            continue;
        }
        if (isDigit(c)) {
            if (c != QLatin1Char('0'))
                return false;
            started = true;
            continue;
        }
        if (c == QLatin1Char('.') && !point) {
            point = true;
            started = true;
            continue;
        }
        break;
    }
    return true;
}

bool toItemData(const QString& text, qint32* value)
{
    const std::optional<DecimalDigits> n = ParseDecimal(text);
    if (!n || n->intDigits.size() > 10)
        return false;
    const qint64 whole = n->intDigits.isEmpty() ? 0 : n->intDigits.toLongLong();
    const bool hasFraction = hasNonZeroDigit(n->fracDigits);
    if (whole > 2147483647 || (whole == 2147483647 && hasFraction))
        return false;
    qint64 rounded = whole;
    if (!n->fracDigits.isEmpty()) {
        const QChar first = n->fracDigits.at(0);
        const bool restNonZero = hasNonZeroDigit(QStringView(n->fracDigits).mid(1));
        if (first > QLatin1Char('5') || (first == QLatin1Char('5') && (restNonZero || whole % 2 == 1)))
            ++rounded;
    }
    *value = qint32(n->negative ? -rounded : rounded);
    return true;
}

} // namespace numtext
