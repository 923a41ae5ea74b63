#include "grid/NumberText.h"

#include <cfloat>
#include <cmath>

namespace {

// Rounds half away from zero as the decimal text reads: 12.345 gives 12.35 although
// its binary value lies a hair below. The nudge for that stays far below one unit,
// so large values keep every digit.
double roundTo(double value, int decPlaces)
{
    constexpr double kNudgeLimit = 35184372088832.0; // 2^45: the nudge stays under 1/16
    const double scale = std::pow(10.0, decPlaces);
    const double scaled = value * scale;
    if (std::fabs(scaled) >= kNudgeLimit)
        return std::round(scaled) / scale;
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
