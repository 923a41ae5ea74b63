#include "db/Query.h"

#include "common/Cp949.h"
#include "db/DbStartup.h"
#include "db/SqlLog.h"

#include <QElapsedTimer>

namespace {

cMySQL* readConnection()
{
    return gDBIndex >= 0 && gDBIndex < 2 ? gDB[size_t(gDBIndex)].get() : nullptr;
}
cMySQL* writeConnection()
{
    return gDB[0].get();
}

bool lastExecFailed = false;
std::function<void(const QString&)> statementObserver;

void observe(const QString& sql)
{
    if (statementObserver)
        statementObserver(sql);
}

// A read server that lost its connection is given up: reads go back to the first.
void afterRead(const cMySQL* conn)
{
    if (gDBIndex == 1 && conn == gDB[1].get() && conn->isLost())
        gDBIndex = 0;
}

double secondsSince(const QElapsedTimer& timer)
{
    return double(timer.elapsed()) / 1000.0;
}

} // namespace

QString GetValue(const QString& sql)
{
    cMySQL* conn = readConnection();
    if (!conn)
        return {};
    observe(sql);
    QElapsedTimer timer;
    timer.start();
    RecordSetPtr rs = conn->query(sql);
    const double seconds = secondsSince(timer);
    afterRead(conn);
    const QString value = rs && !rs->Eof() ? rs->Field(0) : QString();
    WriteSQLLogFull(sql, value, seconds, false);
    CloseRecordset(rs);
    conn->free_result();
    return value;
}

long OpenRecordset(RecordSetPtr& rs, const QString& sql)
{
    cMySQL* conn = readConnection();
    if (!conn) {
        rs.reset();
        return 0;
    }
    observe(sql);
    QElapsedTimer timer;
    timer.start();
    rs = conn->query(sql);
    const double seconds = secondsSince(timer);
    afterRead(conn);
    const long count = conn->affected_rows();
    WriteSQLLogFull(sql, QString::number(count), seconds, false);
    conn->free_result();
    return count;
}

long ExecSQL(const QString& sql)
{
    cMySQL* conn = writeConnection();
    lastExecFailed = true;
    if (!conn)
        return 0;
    // A second server may not have this write yet: from now on reads go to the first,
    // so a record just saved is read back at once, whatever the replica's delay.
    gDBIndex = 0;
    observe(sql);
    QElapsedTimer timer;
    timer.start();
    RecordSetPtr rs = conn->query(sql);
    const double seconds = secondsSince(timer);
    const long count = conn->affected_rows();
    CloseRecordset(rs);
    WriteSQLLog(sql, QString::number(count), seconds);
    lastExecFailed = count < 0;
    return count < 0 ? 0 : count;
}

bool LastExecFailed()
{
    return lastExecFailed;
}

long GetInsertId()
{
    cMySQL* conn = writeConnection();
    if (!conn)
        return 0;
    QElapsedTimer timer;
    timer.start();
    const long id = conn->insert_id();
    WriteSQLLog(QStringLiteral("insert_id()"), QString::number(id), secondsSince(timer));
    return id;
}

void CloseRecordset(RecordSetPtr& rs)
{
    if (rs && rs->IsOpen())
        rs->Close();
    rs.reset();
}

QString EscapeSQL(const QString& text)
{
    QString out = text.left(text.indexOf(QChar(0)) >= 0 ? text.indexOf(QChar(0)) : text.size());
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return out;
}

QString EscapeLike(const QString& text)
{
    QString pattern = text;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    pattern.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    pattern.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return EscapeSQL(pattern);
}

QString UnstorableChars(const QString& text)
{
    return (text.contains(QChar(0)) ? QString(QChar(0)) : QString()) + cp949::unencodable(text);
}

void SetStatementObserverForTesting(std::function<void(const QString&)> observer)
{
    statementObserver = std::move(observer);
}
