#include "controls/NumberText.h"

#include "common/Numbers.h"

#include <optional>

namespace numtext {
namespace {

using Number = DecimalDigits;

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

// Adds one to a string of decimal digits, growing it when it carries out.
void increment(QString& digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return;
        }
        digits[i] = QLatin1Char('0');
    }
    digits.prepend(QLatin1Char('1'));
}

struct Rounded
{
    bool negative = false;
    QString intPart; // at least minIntDigits digits
    QString fracPart;
};

Rounded round(const Number& n, int decimals, int minIntDigits)
{
    const int d = qMax(0, decimals);
    QString kept = n.intDigits + n.fracDigits.left(d).leftJustified(d, QLatin1Char('0'));
    if (n.fracDigits.size() > d && n.fracDigits.at(d) >= QLatin1Char('5'))
        increment(kept);
    Rounded r;
    r.intPart = kept.left(kept.size() - d);
    r.fracPart = kept.right(d);
    qsizetype lead = 0;
    while (lead < r.intPart.size() && r.intPart.at(lead) == QLatin1Char('0'))
        ++lead;
    r.intPart.remove(0, lead);
    if (r.intPart.size() < minIntDigits)
        r.intPart = r.intPart.rightJustified(minIntDigits, QLatin1Char('0'));
    r.negative = n.negative && hasNonZeroDigit(kept);
    return r;
}

QString grouped(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

} // namespace

QString format(const QString& text, int decimals, bool separators, int minIntDigits)
{
    const std::optional<Number> n = ParseDecimal(text);
    if (!n)
        return text;
    const Rounded r = round(*n, decimals, minIntDigits);
    QString out = r.negative ? QStringLiteral("-") : QString();
    out += separators ? grouped(r.intPart) : r.intPart;
    if (!r.fracPart.isEmpty())
        out += QLatin1Char('.') + r.fracPart;
    return out;
}

QString formatDashedTen(const QString& text)
{
    const std::optional<Number> n = ParseDecimal(text);
    if (!n)
        return text;
    const Rounded r = round(*n, 0, 10);
    const QString& d = r.intPart;
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
    const std::optional<Number> n = ParseDecimal(text);
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
