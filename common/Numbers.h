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

// The number rounded half away from zero to `decimals` decimals on its decimal digits,
// so 12.345 gives 12.35 as written; fracDigits then holds exactly that many digits. A
// number that rounds to zero carries no sign.
DecimalDigits RoundDecimal(const DecimalDigits& number, int decimals);

// The value the digits write (infinite when too large for a double).
double DecimalValue(const DecimalDigits& number);

// The digits of a value: the shortest decimal that reads back as that value;
// nullopt for infinities and NaN.
std::optional<DecimalDigits> DigitsOf(double value);

// The number rounded (RoundDecimal) and written with `decimals` decimals, at least
// `minIntDigits` integer digits (padded with zeros) and, when `separators`, a comma
// before every third integer digit from the point: the formats "0", "0.00", "#,##0",
// "#,##0.00", "00".
QString FormatDecimal(const DecimalDigits& number, int decimals, bool separators, int minIntDigits = 1);

// A width or size as the settings files store it: at most two decimals, no trailing
// zeros ("12.5", "9").
QString DecimalText(double value);

// The value of a text that is a number as a whole (see ParseDecimal), else nullopt.
std::optional<double> ParseNumber(const QString& text);
inline bool IsNumeric(const QString& text)
{
    return ParseDecimal(text).has_value();
}

// The number at the start of a text (leading blanks skipped, reading stops at the
// first character that cannot continue it); 0 when there is none. "12abc" -> 12.
double LeadingNumber(const QString& text);
