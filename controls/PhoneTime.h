#pragma once

#include <QString>

// The two conversions applied when a telephone-number or time field is left.

// Normalises a Korean telephone number into dash-separated groups (02-1234-5678,
// 031-123-4567, 010-1234-5678, 0505-1234-5678, 1234-5678). Text shorter than six
// characters comes back unchanged.
QString FormatTelNo(const QString& sTelNo);

// Turns a typed time (9, 0930, 09:30, 14.25) into "HH:MM". An empty text means no
// time; a text that is no time of day is reported to the user and gives "".
QString FormatTime(const QString& sTime);
