#pragma once

#include <QString>

// The program folder: where the running executable lives, with its companion programs
// (FloatMsg, AutoUpdateV1, filechanger) and site.ini.
QString AppDir();

// AppDir() + "/" + relative: a program file.
QString AppPath(const QString& relative);

// Whether the program folder can be written by this user (checked once per process).
bool IsAppDirWritable();

// The data folder: where log/, FormIni/, config.ini and the capture folder live. It is
// the program folder when that can be written, as on Windows and in a build folder;
// otherwise (a packaged installation) the per-user folder $XDG_DATA_HOME/asmanager/
// (default ~/.local/share/asmanager/), created on first use.
QString DataDir();

// DataDir() + "/" + relative: a data file.
QString DataPath(const QString& relative);

// The local capture folder "스샷" in the data folder. Screenshots are written there
// before they are saved to the share; whoever writes there creates it.
QString CaptureDir();

// Tests point the program at a folder of their own (empty: the real one again).
void SetAppDirForTesting(const QString& dir);
