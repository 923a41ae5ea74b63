#pragma once

#include <QString>

// Numbers held as text, read and written the way the entry fields have always
// done it: a number may carry thousands separators, a leading or trailing sign and
// blanks around it; rounding is half away from zero.
namespace numtext {

// The number in the text written by FormatDecimal (common/Numbers.h) with
// `decimals` decimals, at least `minIntDigits` integer digits and, when
// `separators`, thousands separators: the formats "0", "0.00", "#,##0", "#,##0.00",
// "00". Text that is not a number comes back unchanged.
QString format(const QString& text, int decimals, bool separators, int minIntDigits = 1);

// The ten-digit mask "000-000-0000": the number padded to ten digits with leading
// zeros (extra digits stay in the first group). Text that is not a number comes
// back unchanged.
QString formatDashedTen(const QString& text);

// True when the number at the start of the text is zero: blanks are skipped, an
// optional sign, digits and one point are read, anything else ends the number.
// Text that does not start with a number counts as zero.
bool leadingValueIsZero(const QString& text);

// Rounds the number to a whole number (half to even) when it is one that fits in a
// 32-bit item data, that is |value| <= 2147483647.
bool toItemData(const QString& text, qint32* value);

} // namespace numtext
