#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the program stores them: red in the low byte, then green and blue;
// a value with the top bit set names a system colour (0x80000005 window
// background, 0x80000008 window text), taken from the application's palette.
QColor VbColor(quint32 value);
