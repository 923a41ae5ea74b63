#pragma once

#include <QString>

// The parameter text of the floating message program: " " + message + "/T" + display time
// in milliseconds. The launcher builds it and the program splits it again.

struct FloatMsgText
{
    QString message;
    int displayTime = 0; // milliseconds
};

inline constexpr int kFloatMsgDefaultTime = 500;
inline constexpr int kFloatMsgMinTime = 100;
inline constexpr int kFloatMsgMaxTime = 60000;

// " " + message + "/T" + displayTime.
QString FloatMsgParameter(const QString& message, int displayTime);

// Splits at the last "/T": the message is what comes before it, without the one leading
// blank; the time is the decimal number after it. A missing or unreadable time gives the
// default, and the time is kept between the minimum and the maximum, so the message always
// goes away by itself.
FloatMsgText ParseFloatMsgParameter(const QString& parameter);
