#pragma once

#include "common/AppError.h"

#include <QDateTime>
#include <QImage>
#include <QString>

// Pictures that come into the editor by other ways than the capture (pasted, or attached
// in a format other than JPEG) become captures: JPEG files of quality 100 in the capture
// folder, named as a capture of that screen at that time. Their stored copies then hold
// JPEG data under their ".jpg" names, as every client's picture loader expects.

// Writes `image` (transparent parts on white) into `captureDir`, created when missing,
// under CaptureFilePath's name, or when a file of that name exists under the first free
// one with "_2", "_3" ... before ".jpg". Returns the file's path; "" and `error` when it
// cannot be written.
QString SaveCaptureImage(const QImage& image, const QString& captureDir, const QString& screenName,
                         const QDateTime& at, AppError& error);

// True when the file holds a JPEG picture, whatever its name says.
bool IsJpegFile(const QString& path);
