#pragma once

#include "editor/RecordStatements.h"

#include <QList>

// A record as the editor loaded it or as the server holds it now, with its first
// company's name: what a save of a changed record compares before it writes.
struct StoredRecord
{
    RecordValues values; // the columns as stored (user ids as stored, too)
    QString company;     // name of the first company row, "" for none
    // The user ids as the list shows them: "" for an id that names no user.
    QString listedAskId;
    QString listedAnsId;
};

// The parts of a record a user can tell apart, in the order the editor shows them; the
// ten screenshot slots are the parts kFieldShot .. kFieldShot + 9.
enum RecordField
{
    kFieldProgram,
    kFieldFormName,
    kFieldCompany,
    kFieldTitle,
    kFieldQusDate,
    kFieldErrText,
    kFieldAsker,
    kFieldShot,
    kFieldStatus = kFieldShot + kShotSlots,
    kFieldAnswerer,
    kFieldFtpDate,
    kFieldSolution,
    kFieldCount
};

// What the window calls a part: "상태", "해결책", "스샷 3", ...
QString RecordFieldName(int field);
// The parts in which two records differ, in the editor's order.
QList<int> DifferingFields(const StoredRecord& a, const StoredRecord& b);
// "상태, 해결책"
QString RecordFieldNames(const QList<int>& fields);

// The name of whoever wrote record `seq` last, from the server's change journal; empty
// when the writing client did not say who it was.
QString LastWriterSql(long seq);

// The record's row and its first company row, locked until the transaction ends.
QString LockRecordSql(long seq);
QString LockCompanySql(long companySeq);

enum class StoredRead
{
    Found,
    Missing, // no row of that number
    Failed   // a statement failed (its error has been shown)
};

// Reads record `seq` and the name of company row `companySeq` (0 for none), locking both
// rows for the running transaction.
StoredRead ReadStoredRecord(long seq, long companySeq, StoredRecord* out);

// The completion time a changed record stores: "" when the user removed it; the stored
// text while the date stays hidden or shows the stored date and time; otherwise the shown
// date and time ("YYYY-MM-DD -hh:mm").
QString ChangedCompletionText(const QString& stored, bool shown, bool removed, const QDate& date,
                              const QString& time);
