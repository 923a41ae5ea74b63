#pragma once

#include <QString>

// The statements that read the change journal. Each is an index read at any size of
// the journal: one record's history walks (ascode, id) backwards, the poll walks the
// primary key from the last entry it saw.

// One row when the database keeps a journal (it was upgraded), none otherwise.
QString JournalPresentSql();

// The changes of record `seq`, newest first, with the changing user's name; values cut
// to kJournalValueChars characters.
QString HistorySql(long seq);

// The number of the newest journal entry ("" or NULL when the journal is empty).
QString LastJournalIdSql();

// At most `limit` entries after entry `afterId`, oldest first, each with the record's
// title, asker, answerer and the person in charge of its program (empty when the
// record is gone).
QString PollSql(qint64 afterId, int limit);
