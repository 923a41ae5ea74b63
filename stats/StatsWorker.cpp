#include "stats/StatsWorker.h"

#include "db/DbStartup.h"
#include "db/MySql.h"

#include <QElapsedTimer>

StatsServer CurrentStatsServer()
{
    const cMySQL* conn = gDBIndex >= 0 && gDBIndex < 2 ? gDB[size_t(gDBIndex)].get() : nullptr;
    if (!conn)
        conn = gDB[0].get();
    if (!conn)
        return {};
    return {conn->host(), conn->user(), conn->password(), conn->db(), conn->port()};
}

StatsWorker::StatsWorker(const StatsServer& server) : m_server(server) {}

StatsWorker::~StatsWorker() = default;

bool StatsWorker::read(const QString& sql, RecordSetPtr& rs, quint64 ticket)
{
    if (!m_conn) {
        m_conn = std::make_unique<cMySQL>();
        // The program's own connection keeps its thread id in config.ini; this one
        // leaves it there.
        m_conn->setRecordThreadId(false);
        if (!m_conn->real_connect(m_server.host, m_server.user, m_server.password, m_server.db, m_server.port,
                                  {}, 0, true)) {
            emit failed(ticket, m_conn->lastError());
            m_conn.reset();
            return false;
        }
    }
    QElapsedTimer timer;
    timer.start();
    rs = m_conn->query(sql, true);
    const double seconds = double(timer.elapsed()) / 1000.0;
    const long rows = rs ? long(rs->RecordCount()) : 0;
    m_conn->free_result();
    emit statementDone(sql, rows, seconds);
    if (!rs) {
        emit failed(ticket, m_conn->lastError());
        return false;
    }
    return true;
}

void StatsWorker::run(const StatsFilter& filter, quint64 ticket)
{
    StatsNames names;
    StatsFigures figures;
    RecordSetPtr rs;
    if (!read(ProgramNamesStatement(), rs, ticket))
        return;
    names.addPrograms(*rs);
    if (!read(UserNamesStatement(), rs, ticket))
        return;
    names.addUsers(*rs);

    if (!read(RegisteredStatement(filter), rs, ticket))
        return;
    AddRegistered(figures, *rs, filter.period, names);
    emit figuresReady(ticket, figures);

    if (!read(WaitingStatement(filter), rs, ticket))
        return;
    AddWaiting(figures, *rs, names);
    emit figuresReady(ticket, figures);

    if (!read(CompletedStatement(filter), rs, ticket))
        return;
    AddCompleted(figures, *rs, filter.period, names);
    emit figuresReady(ticket, figures);
}
