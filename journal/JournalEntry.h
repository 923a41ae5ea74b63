#pragma once

#include <QList>
#include <QString>

class RecordSet;

// What one row of the change journal (table asjournal_entry) records.
enum class JournalKind
{
    RequestAdded = 1,
    FieldChanged = 2,
    RequestDeleted = 3,
    CompanyAdded = 4,
    CompanyChanged = 5,
    CompanyRemoved = 6,
};

// One change of one record, as the server's triggers wrote it.
struct JournalEntry
{
    qint64 id = 0;
    long seq = 0;     // the record (aslist.seq)
    QString when;     // server time "YYYY-MM-DD hh:mm:ss"
    QString userId;   // "" when the writing client did not name its user
    QString userName; // "" when unknown
    JournalKind kind = JournalKind::FieldChanged;
    QString field;    // the aslist column, or "comname" for a company
    QString oldValue; // cut to kJournalValueChars where the statements read it
    QString newValue;
};

// The characters of an old or new value that the history and the poll read.
inline constexpr int kJournalValueChars = 200;

// Who made the change: the user's name, else the id, else "알 수 없음".
QString JournalActor(const JournalEntry& entry);

// What the change did, in one line: "상태: 요청대기 → 단기예정(1~2주이내)", "해결책 변경",
// "스샷 2 추가", "업체 추가: (주)한빛상사".
QString ChangeText(const JournalEntry& entry);

// The entry in the current row of a history or poll result (columns by name).
JournalEntry JournalEntryFromRow(const RecordSet& rs);
