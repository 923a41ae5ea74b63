#pragma once

#include <QString>

// The picture file dialog: opens in the folder of the last picture chosen (gLastPicDir),
// or in the program's folder when there is none; remembers the chosen file's folder.
// `filter` in the "Name|pattern;pattern" form, empty for bitmaps, JPEG and GIF pictures.
// Returns the chosen path, or "" when cancelled.
QString OpenPictureDialog(const QString& title, const QString& initialName, const QString& filter);
