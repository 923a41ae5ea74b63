#pragma once

#include "common/Numbers.h"

#include <QString>
#include <optional>

// Numbers in text, read and written the way the grid's number cells and the
// window settings files have always read and written them.

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

// A width or size as the settings files store it: at most two decimals, no
// trailing zeros ("12.5", "9").
QString DecimalText(double value);
