#include "journal/JournalStatements.h"

#include "journal/JournalEntry.h"

namespace {

QString entryColumns()
{
    return QStringLiteral(
               "j.id, j.ascode, j.wtime, j.appuser, j.kind, j.field, LEFT(j.oldval, %1) AS oldval, "
               "LEFT(j.newval, %1) AS newval")
        .arg(kJournalValueChars);
}

} // namespace

QString JournalPresentSql()
{
    return QStringLiteral("SELECT 1 FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() "
                          "AND TABLE_NAME = 'asjournal_entry'");
}

QString HistorySql(long seq)
{
    return QStringLiteral("SELECT ") + entryColumns() +
           QStringLiteral(
               ", u.name AS uname FROM asjournal_entry AS j LEFT JOIN user AS u ON u.id = j.appuser "
               "WHERE j.ascode = ") +
           QString::number(seq) + QStringLiteral(" ORDER BY j.id DESC");
}

QString LastJournalIdSql()
{
    return QStringLiteral("SELECT MAX(id) FROM asjournal_entry");
}

QString PollSql(qint64 afterId, int limit)
{
    return QStringLiteral("SELECT ") + entryColumns() +
           QStringLiteral(
               ", a.title, a.user_q, a.user_a, p.chargeid FROM asjournal_entry AS j "
               "LEFT JOIN aslist AS a ON a.seq = j.ascode LEFT JOIN part AS p ON p.code = a.appcode "
               "WHERE j.id > ") +
           QString::number(afterId) + QStringLiteral(" ORDER BY j.id LIMIT ") + QString::number(limit);
}
