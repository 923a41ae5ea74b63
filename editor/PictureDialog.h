#pragma once

#include <QString>

// The pictures the dialog offers by default: bitmaps, JPEG and GIF, and PNG (today's
// screenshots) as an entry of its own.
inline constexpr char kPictureFilter[] = "Pictures (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif|PNG (*.png)|*.png";

// The picture file dialog: opens in the folder of the last picture chosen (gLastPicDir),
// or in the program's folder when there is none; remembers the chosen file's folder.
// `filter` in the "Name|pattern;pattern" form, empty for kPictureFilter.
// Returns the chosen path, or "" when cancelled.
QString OpenPictureDialog(const QString& title, const QString& initialName, const QString& filter);
