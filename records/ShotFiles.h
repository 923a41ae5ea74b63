#pragma once

#include "common/AppError.h"

#include <QPixmap>
#include <QString>
#include <QUrl>

// The screenshot files behind the stored paths of a record.

// Loads the picture of a stored path (through the share mapping). A missing file
// gives error 53 "File not found", a file that is no picture error 481 "Invalid
// picture"; the picture is then null.
QPixmap LoadShot(const QString& storedPath, AppError* error);
// The same as an image no larger than `bound` (proportions kept; an empty bound: the
// whole picture). A JPEG is decoded at that size, which takes a fraction of the time of
// decoding it whole. Safe to call from any thread.
QImage LoadShotImage(const QString& storedPath, const QSize& bound, AppError* error);

// What the zoom button does with a stored path: a ".jpg", ".gif" or ".bmp" file opens
// in the desktop's program for it; any other path opens in the file manager (its
// folder, or the folder itself); an empty slot does nothing.
enum class ShotOpen
{
    Nothing,
    DefaultProgram,
    FileManager
};
ShotOpen ShotOpenKind(const QString& storedPath);
// The address handed to the desktop for that; empty for Nothing.
QUrl ShotOpenUrl(const QString& storedPath);
