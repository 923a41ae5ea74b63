#pragma once

#include "editor/RecordStatements.h"

#include <QDate>

// Storing a record from the editor: its screenshots go onto the share under names built
// from the record number, its row and its first company row into the database. Every
// failure is told to the user (through the message facade) where it happens.

// What the editor's fields hold.
struct EditorRecord
{
    long seq = 0;        // 0: a new record
    RecordValues values; // shots: the slots' tags; ftpDate is set by the save
    QString company;     // the company field, "" for none
    long companySeq = 0; // the first company row of a changed record
    bool hasFtp = false; // a completion date is shown
    QDate ftpDate;
    QString ftpTime; // "hh:mm", "" for 00:00
};

struct SaveOutcome
{
    bool stored = false;
    long seq = 0;  // the record's number once its row exists
    ShotTags tags; // the slots' paths after the save
};

// Inserts a new record and its first company row. The screenshots are copied onto the
// share under hidden names first and get their final names from the number the server
// gave the record, so no other record's file is ever replaced.
SaveOutcome SaveNewRecord(const EditorRecord& record);

// Updates a record and its first company's name. A slot's picture is copied onto the
// share whenever the share does not hold it yet under the slot's name; a copied picture
// counts as a change.
SaveOutcome SaveChangedRecord(const EditorRecord& record);

// The company name stored for a company field.
QString CompanyOrDefault(const QString& company);
