#pragma once

#include <QString>
#include <optional>

// The grid's number cells: their format, the value a cell's text stands for and the
// text they show. Rounding and separators are those of common/Numbers.h.

// Format of a number cell.
struct NumberFormat
{
    int decPlaces = 2;
    bool showSep = false;
    double min = -99999999999.99;
    double max = 99999999999.99;
};

// The value of a number cell holding `text`: the number rounded to the cell's
// decimals; nullopt when the text is not a number or lies outside min..max.
std::optional<double> NumberCellValue(const QString& text, const NumberFormat& format);

// "-1,234.50": fixed decimals, separators every three digits when showSep.
QString FormatNumber(double value, const NumberFormat& format);
