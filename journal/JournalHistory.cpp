#include "journal/JournalHistory.h"

#include "db/Query.h"
#include "journal/JournalStatements.h"

bool JournalPresent()
{
    return GetValue(JournalPresentSql()) == QLatin1String("1");
}

QList<JournalEntry> ReadHistory(long seq)
{
    QList<JournalEntry> entries;
    RecordSetPtr rs;
    OpenRecordset(rs, HistorySql(seq));
    for (; rs && !rs->Eof(); rs->MoveNext())
        entries << JournalEntryFromRow(*rs);
    CloseRecordset(rs);
    return entries;
}
