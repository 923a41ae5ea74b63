#include "grid/NumberText.h"

#include <cfloat>
#include <cmath>

std::optional<double> ParseNumber(const QString& text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
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
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    qsizetype end = i;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        const qsizetype expStart = j;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            ++j;
        if (j > expStart)
            end = j;
    }
    const double value = text.mid(start, end - start).toDouble();
    return std::isfinite(value) ? value : 0;
}

namespace {

// Rounds half away from zero as the decimal text reads: 12.345 gives 12.35 although
// its binary value lies a hair below.
double roundTo(double value, int decPlaces)
{
    const double scale = std::pow(10.0, decPlaces);
    const double scaled = value * scale;
    return std::round(scaled + std::copysign(std::fabs(scaled) * 8 * DBL_EPSILON, scaled)) / scale;
}

int clampDecimals(int decPlaces)
{
    return decPlaces < 0 ? 0 : (decPlaces > 14 ? 14 : decPlaces);
}

} // namespace

std::optional<double> NumberCellValue(const QString& text, const NumberFormat& format)
{
    const std::optional<double> parsed = ParseNumber(text);
    if (!parsed)
        return std::nullopt;
    const double value = roundTo(*parsed, clampDecimals(format.decPlaces));
    if (value < format.min || value > format.max)
        return std::nullopt;
    return value == 0 ? 0.0 : value; // no "-0"
}

QString FormatNumber(double value, const NumberFormat& format)
{
    const int dec = clampDecimals(format.decPlaces);
    const double rounded = roundTo(value, dec);
    QString digits = QString::number(std::fabs(rounded), 'f', dec);
    if (format.showSep) {
        qsizetype intEnd = digits.indexOf(QLatin1Char('.'));
        if (intEnd < 0)
            intEnd = digits.size();
        for (qsizetype pos = intEnd - 3; pos > 0; pos -= 3)
            digits.insert(pos, QLatin1Char(','));
    }
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

QString DecimalText(double value)
{
    QString text = QString::number(roundTo(value, 2), 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}
