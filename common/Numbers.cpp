#include "common/Numbers.h"

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
    qsizetype lead = 0;
    while (lead < n.intDigits.size() && n.intDigits.at(lead) == QLatin1Char('0'))
        ++lead;
    n.intDigits.remove(0, lead);
    return n;
}

std::optional<double> ParseNumber(const QString& text)
{
    const std::optional<DecimalDigits> n = ParseDecimal(text);
    if (!n)
        return std::nullopt;
    const QString digits = (n->intDigits.isEmpty() ? QStringLiteral("0") : n->intDigits) + QLatin1Char('.') +
                           (n->fracDigits.isEmpty() ? QStringLiteral("0") : n->fracDigits);
    const double value = digits.toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return n->negative ? -value : value;
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
