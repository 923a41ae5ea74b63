#include "grid/NumberCell.h"

#include "common/Numbers.h"

#include <cmath>

namespace {

int clampDecimals(int decPlaces)
{
    return decPlaces < 0 ? 0 : (decPlaces > 14 ? 14 : decPlaces);
}

} // namespace

std::optional<double> NumberCellValue(const QString& text, const NumberFormat& format)
{
    const std::optional<DecimalDigits> number = ParseDecimal(text);
    if (!number)
        return std::nullopt;
    const double value = DecimalValue(RoundDecimal(*number, clampDecimals(format.decPlaces)));
    if (!std::isfinite(value) || value < format.min || value > format.max)
        return std::nullopt;
    return value;
}

QString FormatNumber(double value, const NumberFormat& format)
{
    const std::optional<DecimalDigits> number = DigitsOf(value);
    return number ? FormatDecimal(*number, clampDecimals(format.decPlaces), format.showSep) : QString();
}
