#pragma once

#include <QString>
#include <optional>

// Numbers written as text, read the way the program has always read them.

// The digits of a decimal number as written: a sign before or after the number,
// thousands separators before the point, one point; blanks around are allowed.
struct DecimalDigits
{
    bool negative = false;
    QString intDigits; // without leading zeros
    QString fracDigits;
};
std::optional<DecimalDigits> ParseDecimal(const QString& text);

// The value of a text that is a number as a whole (see ParseDecimal), else nullopt.
std::optional<double> ParseNumber(const QString& text);
inline bool IsNumeric(const QString& text)
{
    return ParseDecimal(text).has_value();
}

// The number at the start of a text (leading blanks skipped, reading stops at the
// first character that cannot continue it); 0 when there is none. "12abc" -> 12.
double LeadingNumber(const QString& text);
