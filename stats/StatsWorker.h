#pragma once

#include "common/AppError.h"
#include "stats/StatsFigures.h"

#include <QObject>
#include <memory>

class cMySQL;

// Where the statistics read from: the parameters of the program's read connection.
struct StatsServer
{
    QString host, user, password, db;
    int port = 3306;
};
// The parameters of the read connection in use (gDB[gDBIndex]).
StatsServer CurrentStatsServer();

// Reads the figures on its own connection, in a thread of its own, so the windows stay
// responsive while the server counts. It sends the figures after each statement, the
// first charts first; every statement's text, row count and time for the SQL log; and
// one error when a statement fails (the figures it had sent stay as they were).
class StatsWorker : public QObject
{
    Q_OBJECT

public:
    explicit StatsWorker(const StatsServer& server);
    ~StatsWorker() override;

public slots:
    // Reads every figure for `filter`; `ticket` comes back with each result.
    void run(const StatsFilter& filter, quint64 ticket);

signals:
    void figuresReady(quint64 ticket, const StatsFigures& figures);
    void statementDone(const QString& sql, long rows, double seconds);
    void failed(quint64 ticket, const AppError& error);

private:
    bool read(const QString& sql, std::unique_ptr<class RecordSet>& rs, quint64 ticket);

    StatsServer m_server;
    std::unique_ptr<cMySQL> m_conn;
};
