#pragma once

#include <QColor>
#include <cstdint>

// Colours as the program stores and compares them: 24-bit values with red in the
// low byte. Values with the top bit set name system colours.
using OleColor = uint32_t;

constexpr OleColor Rgb(int r, int g, int b)
{
    return OleColor(r & 0xFF) | (OleColor(g & 0xFF) << 8) | (OleColor(b & 0xFF) << 16);
}

inline constexpr OleColor kSysWindowBackground = 0x80000005;
inline constexpr OleColor kSysWindowText = 0x80000008;

// The Qt colour of a stored colour; system colours take the application palette.
QColor ToQColor(OleColor color);
