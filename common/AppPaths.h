#pragma once

#include <QString>

// The application folder: where the running executable lives. log/, FormIni/,
// config.ini, site.ini and the capture folder are found there.
QString AppDir();

// AppDir() + "/" + relative.
QString AppPath(const QString& relative);

// The capture folder "스샷": screenshots wait there until a save copies them to the share.
QString CaptureDir();

// Tests point the program at a folder of their own.
void SetAppDirForTesting(const QString& dir);
