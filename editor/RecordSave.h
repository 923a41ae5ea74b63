#pragma once

#include "editor/StoredRecord.h"

#include <QDate>

// Storing a record from the editor: its screenshots go onto the share under names built
// from the record number, its row and its first company row into the database, all in
// one transaction. A save stores everything or nothing: a failure anywhere leaves no row,
// no placed file and no staged leftover. Every failure is told to the user (through the
// message facade) where it happens, except a refusal, which the caller reads from the
// outcome.

// What the editor's fields hold.
struct EditorRecord
{
    long seq = 0;        // 0: a new record
    RecordValues values; // shots: the slots' tags; ftpDate is set by the save
    QString company;     // the company field, "" for none
    long companySeq = 0; // the first company row of a changed record
    bool hasFtp = false; // a completion date is shown
    bool ftpRemoved = false; // the user took the completion date away
    QDate ftpDate;
    QString ftpTime; // "hh:mm", "" for 00:00
};

// Why a changed record was not stored although nothing failed.
enum class SaveRefusal
{
    None,
    Changed, // another save changed the record since it was loaded
    Gone     // the record was deleted since it was loaded
};

struct SaveOutcome
{
    bool stored = false;
    long seq = 0;  // the record's number once it is stored
    ShotTags tags; // the slots' paths after the save (as before it when nothing was stored)
    SaveRefusal refusal = SaveRefusal::None;
    QList<int> changedFields; // with Changed: the parts the other save changed
};

// Inserts a new record and its first company row. The screenshots are copied onto the
// share under hidden names first and get their final names from the number the server
// gave the record, so no other record's file is ever replaced.
SaveOutcome SaveNewRecord(const EditorRecord& record);

// Updates a record and its first company's name, unless the stored row no longer is the
// one `loaded` describes. A slot's picture is copied onto the share whenever the share
// does not hold it yet under the slot's name; a copied picture counts as a change. A
// stored completion date stays unless the user changed or removed it.
SaveOutcome SaveChangedRecord(const EditorRecord& record, const StoredRecord& loaded);

// The company name stored for a company field.
QString CompanyOrDefault(const QString& company);

// The record as the save would store it, for comparing with what was loaded.
StoredRecord AsStored(const EditorRecord& record, const StoredRecord& loaded);
