#pragma once

#include <QString>

// What a spreadsheet number format shows of a number: a date, a time of day, both,
// or a plain number.
struct DateShape
{
    bool isDate = false;
    bool withDate = false;
    bool withTime = false;
};

// A format is a date format when, leaving out quoted text, escaped characters and
// [colour] parts, it has more date letters (y m d h s) than digit places (0 # ?).
DateShape FormatDateShape(const QString& format);

// The shapes of the built-in formats (14-22 and 45-47 are dates and times), for a
// cell whose format index the file does not define.
DateShape BuiltinDateShape(int index);
