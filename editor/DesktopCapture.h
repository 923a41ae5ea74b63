#pragma once

#include "common/AppError.h"

#include <QString>

// Writes a picture of the whole desktop, every screen in its place, as a JPEG file of
// quality 100 at `path`. False, with the error in `error`, when no picture was written.
bool CaptureDesktop(const QString& path, AppError* error);
