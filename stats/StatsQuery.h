#pragma once

#include "stats/StatsDates.h"

#include <QString>
#include <QStringList>

// The statements behind the statistics. Each reads only what one of the indexes
// aslist_stats (qusdate, appcode, status, ftpdate), aslist_done (status, ftpdate,
// appcode, user_a, qusdate) and aslist_open (status, appcode) holds, so the server never
// reads the records' long texts.

// What the figures cover: the period, and the main window's program and person in
// charge filters.
struct StatsFilter
{
    StatsPeriod period;
    int programIndex = 0;   // 0 every program, 1 the product group (groupid 2), 2.. one program
    qint32 programCode = 0; // the program of programIndex 2..
    QString chargeId;       // the person in charge of the programs; "" anyone
};

// The status texts the program writes, in the order the figures show them ("요청대기"
// first); any other text counts as "기타".
QStringList StatsStatuses();
// The statuses of a request still waiting for its answer.
QStringList OpenStatuses();
// The status of a completed (released) request.
QString CompletedStatus();

// Requests registered in the period by month ("YYYY-MM", the first seven characters of
// qusdate), program and status: month, appcode, status, cnt, and nodate, how many of
// them have no completion date-time in either stored form.
QString RegisteredStatement(const StatsFilter& filter);

// Every completed request whose completion falls in the period: appcode, user_a,
// qusdate, ftpdate.
QString CompletedStatement(const StatsFilter& filter);

// Waiting requests now, whatever the period: appcode, status, cnt.
QString WaitingStatement(const StatsFilter& filter);

// The programs (code, name, chargeid) and the users (id, name) to name the figures by.
QString ProgramNamesStatement();
QString UserNamesStatement();
