#include "stats/StatsQuery.h"

#include "db/Query.h"

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('\'') + EscapeSQL(text) + QLatin1Char('\'');
}

// The program and person in charge conditions.
QString programCondition(const StatsFilter& f)
{
    QString sql;
    if (f.programIndex > 1)
        sql += QStringLiteral(" AND appcode = ") + QString::number(f.programCode);
    else if (f.programIndex == 1)
        sql += QStringLiteral(" AND appcode IN (SELECT code FROM part WHERE groupid = 2)");
    if (!f.chargeId.isEmpty())
        sql += QStringLiteral(" AND appcode IN (SELECT code FROM part WHERE chargeid = ") +
               quoted(f.chargeId) + QLatin1Char(')');
    return sql;
}

QString periodCondition(const QString& column, const StatsPeriod& period)
{
    return QStringLiteral(" AND %1 >= %2 AND %1 < %3")
        .arg(column, quoted(PeriodLowerBound(period)), quoted(PeriodUpperBound(period)));
}

} // namespace

QStringList StatsStatuses()
{
    return {QStringLiteral("요청대기"),
            QStringLiteral("장기예정(2주이상지체)"),
            QStringLiteral("단기예정(1~2주이내)"),
            QStringLiteral("배포완료"),
            QStringLiteral("해결불가(원인불명)"),
            QStringLiteral("환경문제"),
            QStringLiteral("환경문제(사용문제)")};
}

QStringList OpenStatuses()
{
    return StatsStatuses().mid(0, 3);
}

QString CompletedStatus()
{
    return QStringLiteral("배포완료");
}

QString RegisteredStatement(const StatsFilter& filter)
{
    return QStringLiteral("SELECT LEFT(qusdate, 7) AS month, appcode, status, COUNT(*) AS cnt"
                          ", SUM(ftpdate NOT LIKE '____-__-__ %') AS nodate FROM aslist WHERE 1=1") +
           periodCondition(QStringLiteral("qusdate"), filter.period) + programCondition(filter) +
           QStringLiteral(" GROUP BY LEFT(qusdate, 7), appcode, status");
}

QString CompletedStatement(const StatsFilter& filter)
{
    return QStringLiteral("SELECT appcode, user_a, qusdate, ftpdate FROM aslist WHERE status = ") +
           quoted(CompletedStatus()) + periodCondition(QStringLiteral("ftpdate"), filter.period) +
           programCondition(filter);
}

QString WaitingStatement(const StatsFilter& filter)
{
    QStringList open;
    for (const QString& s : OpenStatuses())
        open << quoted(s);
    return QStringLiteral("SELECT appcode, status, COUNT(*) AS cnt FROM aslist WHERE status IN (") +
           open.join(QStringLiteral(", ")) + QLatin1Char(')') + programCondition(filter) +
           QStringLiteral(" GROUP BY status, appcode");
}

QString ProgramNamesStatement()
{
    return QStringLiteral("SELECT code, name, chargeid FROM part");
}

QString UserNamesStatement()
{
    return QStringLiteral("SELECT id, name FROM user");
}
