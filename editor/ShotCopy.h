#pragma once

#include "common/AppError.h"

#include <QString>
#include <utility>
#include <vector>

// Copies of screenshot files onto the share. A file appears under its name only once it
// is complete, so a failed copy never leaves a half-written picture, and a file that
// was there stays whole until its replacement is ready.

// The local file behind a path (a share path through the mount folder); empty when the
// path cannot be reached from here (a share path of a host that is not mounted).
QString ReachablePath(const QString& path);

// Copies `source` to a new hidden file in `folder`; returns its path, or "" with the
// error in `error` (53 File not found, 76 Path not found, 75 Path/File access error).
QString StageShotCopy(const QString& source, const QString& folder, AppError* error);

// Gives the staged file `staged` the name `target`, replacing a file of that name.
bool PlaceShotCopy(const QString& staged, const QString& target, AppError* error);

// StageShotCopy into the target's folder, then PlaceShotCopy.
bool CopyShotFile(const QString& source, const QString& target, AppError* error);

// True when both paths name the same existing file.
bool IsSameFile(const QString& a, const QString& b);

// Staged copies given their final names as the last step of a save, undone as one when
// the save fails after all: a file that was under a target name is kept aside until
// keep(), and undo() (also on destruction without keep()) removes the placed files and
// puts the kept-aside ones back.
class ShotPlacement
{
public:
    ShotPlacement() = default;
    ShotPlacement(const ShotPlacement&) = delete;
    ShotPlacement& operator=(const ShotPlacement&) = delete;
    ~ShotPlacement();

    bool place(const QString& staged, const QString& target, AppError* error);
    void keep();
    void undo();

private:
    std::vector<std::pair<QString, QString>> m_placed; // target, its kept-aside file or ""
};
