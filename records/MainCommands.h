#pragma once

#include "common/AppError.h"

#include <QString>
#include <QStringList>

// The statements and file work behind the main window's delete commands.

// The ten screenshot paths of record `seq`.
QString ShotPathsSql(long seq);
QString DeleteRecordSql(long seq);
QString DeleteRecordCompaniesSql(long seq);
QString DeleteCompanySql(long cseq);

// The local file behind a stored screenshot path when the program may delete it: its
// path, with every link and ".." resolved, lies inside the share's screenshot folder
// (MountRoot/사내문서/7_AS스샷) or the capture folder. Empty for any other path, such as
// a picture the user attached from elsewhere, another folder of the share, or a link
// that leads out of those folders.
QString OwnedShotFile(const QString& storedPath);

// Deletes the owned files of `storedPaths` that exist; empty and foreign paths are
// skipped. Every file is tried; the first failure is returned in `error`.
bool DeleteShotFiles(const QStringList& storedPaths, AppError* error);

enum class RecordDeleteOutcome
{
    Deleted,      // the record, its companies and its files are gone
    RecordGone,   // no record row was deleted: nothing else was touched
    CompaniesGone // the record row went, no company row did
};

struct RecordDeleteResult
{
    RecordDeleteOutcome outcome = RecordDeleteOutcome::RecordGone;
    AppError fileError; // a screenshot file that could not be deleted
};

// Deletes record `seq`: its row, its company rows, then its screenshot files. The
// files go only once the record row is gone, so a failed delete never leaves a record
// whose pictures are missing.
RecordDeleteResult DeleteRecord(long seq);
