#include "common/Numbers.h"

#include <QLocale>
#include <cmath>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
bool isSign(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('+');
}

QString withoutLeadingZeros(const QString& digits)
{
    qsizetype lead = 0;
    while (lead < digits.size() && digits.at(lead) == QLatin1Char('0'))
        ++lead;
    return digits.mid(lead);
}

bool hasNonZeroDigit(const QString& digits)
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

// "1234567" -> "1,234,567"
QString groupThousands(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    out.reserve(n + n / 3);
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

} // namespace

std::optional<DecimalDigits> ParseDecimal(const QString& text)
{
    QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    DecimalDigits n;
    if (isSign(s.front())) {
        n.negative = s.front() == QLatin1Char('-');
        s = s.mid(1).trimmed();
    } else if (isSign(s.back())) {
        n.negative = s.back() == QLatin1Char('-');
        s.chop(1);
        s = s.trimmed();
    }
    bool point = false;
    bool anyDigit = false;
    for (QChar c : s) {
        if (isDigit(c)) {
            (point ? n.fracDigits : n.intDigits) += c;
            anyDigit = true;
        } else if (c == QLatin1Char(',') && !point) {
            continue;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    n.intDigits = withoutLeadingZeros(n.intDigits);
    return n;
}

DecimalDigits RoundDecimal(const DecimalDigits& number, int decimals)
{
    const int d = std::max(0, decimals);
    QString kept = number.intDigits + number.fracDigits.left(d).leftJustified(d, QLatin1Char('0'));
    if (number.fracDigits.size() > d && number.fracDigits.at(d) >= QLatin1Char('5'))
        increment(kept);
    DecimalDigits r;
    r.negative = number.negative && hasNonZeroDigit(kept);
    r.intDigits = withoutLeadingZeros(kept.left(kept.size() - d));
    r.fracDigits = kept.right(d);
    return r;
}

double DecimalValue(const DecimalDigits& number)
{
    const QString digits = (number.intDigits.isEmpty() ? QStringLiteral("0") : number.intDigits) +
                           QLatin1Char('.') +
                           (number.fracDigits.isEmpty() ? QStringLiteral("0") : number.fracDigits);
    const double value = digits.toDouble();
    return number.negative ? -value : value;
}

std::optional<DecimalDigits> DigitsOf(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return ParseDecimal(QString::number(value, 'f', QLocale::FloatingPointShortest));
}

QString FormatDecimal(const DecimalDigits& number, int decimals, bool separators, int minIntDigits)
{
    const DecimalDigits r = RoundDecimal(number, decimals);
    const QString intDigits = r.intDigits.rightJustified(std::max(1, minIntDigits), QLatin1Char('0'));
    QString out = r.negative ? QStringLiteral("-") : QString();
    out += separators ? groupThousands(intDigits) : intDigits;
    if (!r.fracDigits.isEmpty())
        out += QLatin1Char('.') + r.fracDigits;
    return out;
}

QString DecimalText(double value)
{
    QString text = FormatDecimal(DigitsOf(value).value_or(DecimalDigits{}), 2, false);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

std::optional<double> ParseNumber(const QString& text)
{
    const std::optional<DecimalDigits> n = ParseDecimal(text);
    if (!n)
        return std::nullopt;
    const double value = DecimalValue(*n);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

double LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < n && isSign(text[i]))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    qsizetype end = i;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && isSign(text[j]))
            ++j;
        const qsizetype expStart = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > expStart)
            end = j;
    }
    const double value = text.mid(start, end - start).toDouble();
    return std::isfinite(value) ? value : 0;
}
