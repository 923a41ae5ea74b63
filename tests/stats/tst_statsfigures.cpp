#include "MsgRecorder.h"
#include "StatsData.h"
#include "TestDb.h"
#include "TestEnv.h"
#include "stats/StatsWorker.h"

#include <QtTest>
#include <algorithm>

Q_DECLARE_METATYPE(StatsFilter)

namespace {

const QString kOpen = QStringLiteral("'요청대기', '장기예정(2주이상지체)', '단기예정(1~2주이내)'");
const QString kAll =
    kOpen + QStringLiteral(", '배포완료', '해결불가(원인불명)', '환경문제', '환경문제(사용문제)'");
// A well-formed stored date-time, in either form, that the server reads as a real one.
const QString kStamp = QStringLiteral("(%1 REGEXP '^[0-9]{4}-[0-9]{2}-[0-9]{2} -?[0-9]{2}:[0-9]{2}$' AND "
                                      "STR_TO_DATE(REPLACE(%1, ' -', ' '), '%Y-%m-%d %H:%i') IS NOT NULL)");

QString stampValid(const char* column)
{
    return kStamp.arg(QLatin1String(column));
}

QString minutes(const char* column)
{
    return QStringLiteral("STR_TO_DATE(REPLACE(%1, ' -', ' '), '%Y-%m-%d %H:%i')").arg(QLatin1String(column));
}

// The figures' conditions, written independently of the program's statements.
QString within(const char* column, const StatsPeriod& p)
{
    return QStringLiteral(" AND LEFT(%1, 10) BETWEEN '%2' AND '%3'")
        .arg(QLatin1String(column), p.from.toString(Qt::ISODate), p.to.toString(Qt::ISODate));
}

QString filtered(const StatsFilter& f)
{
    QString sql;
    if (f.programIndex > 1)
        sql += QStringLiteral(" AND a.appcode = %1").arg(f.programCode);
    if (f.programIndex == 1)
        sql +=
            QStringLiteral(" AND EXISTS (SELECT 1 FROM part g WHERE g.code = a.appcode AND g.groupid = 2)");
    if (!f.chargeId.isEmpty())
        sql += QStringLiteral(
                   " AND EXISTS (SELECT 1 FROM part c WHERE c.code = a.appcode AND c.chargeid = '%1')")
                   .arg(f.chargeId);
    return sql;
}

QStringList countRows(const CountChart& chart)
{
    QStringList out;
    for (const CountRow& row : chart.rows) {
        QStringList cells{row.label};
        for (qint64 v : row.values)
            cells << QString::number(v);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// What differs between a time chart and the rows "label|count|median|p90" of its
// statement, in any order; the days compared to a thousandth.
QString timeDiff(const TimeChart& chart, QStringList expected)
{
    QStringList actual;
    for (const TimeRow& row : chart.rows)
        actual << QStringLiteral("%1|%2|%3|%4").arg(row.label).arg(row.count).arg(row.median).arg(row.p90);
    actual.sort();
    expected.sort();
    if (actual.size() != expected.size())
        return QStringLiteral("%1 rows, expected %2").arg(actual.size()).arg(expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const QStringList a = actual[i].split(QLatin1Char('|')), e = expected[i].split(QLatin1Char('|'));
        if (a[0] != e[0] || a[1] != e[1] || qAbs(a[2].toDouble() - e[2].toDouble()) > 1e-3 ||
            qAbs(a[3].toDouble() - e[3].toDouble()) > 1e-3)
            return actual[i] + QStringLiteral(" against ") + expected[i];
    }
    return {};
}

// The rows of a grouped count, ordered by their total and then as the statement gives
// them, folded into 15 and "기타" when there are more than 16.
QStringList foldTop(const QStringList& rows)
{
    if (rows.size() <= 16)
        return rows;
    QStringList out = rows.mid(0, 15);
    std::vector<qint64> rest;
    for (const QString& row : rows.mid(15)) {
        const QStringList cells = row.split(QLatin1Char('|'));
        rest.resize(size_t(cells.size() - 1));
        for (qsizetype c = 1; c < cells.size(); ++c)
            rest[size_t(c - 1)] += cells[c].toLongLong();
    }
    QStringList cells{QStringLiteral("기타")};
    for (qint64 v : rest)
        cells << QString::number(v);
    return out << cells.join(QLatin1Char('|'));
}

StatsFilter filterOf(const StatsPeriod& period, int programIndex = 0, qint32 programCode = 0,
                     const QString& chargeId = {})
{
    return {period, programIndex, programCode, chargeId};
}

QStringList sorted(QStringList rows)
{
    rows.sort();
    return rows;
}

} // namespace

// Every figure of the statistics against its own plain SQL count on the same database.
class StatsFiguresTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const auto& [name, records] :
             {std::pair{"t_stats", 600}, {"t_stats_one", 1}, {"t_stats_empty", 0}}) {
            QVERIFY(m_env.createDatabase(QLatin1String(name)));
            TestDb db;
            QVERIFY2(LoadStatsData(db, QLatin1String(name), records), qPrintable(db.error()));
        }
    }

    void figures_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<StatsFilter>("filter");
        const StatsPeriod all{QDate(2025, 6, 1), QDate(2026, 7, 31)};
        const auto row = [](const char* tag, const char* db, StatsFilter f) {
            QTest::newRow(tag) << QString::fromLatin1(db) << f;
        };
        row("everything", "t_stats", filterOf(all));
        row("twelve months", "t_stats", filterOf({QDate(2025, 8, 1), QDate(2026, 7, 31)}));
        row("one month", "t_stats", filterOf({QDate(2026, 3, 1), QDate(2026, 3, 31)}));
        row("no requests in the period", "t_stats", filterOf({QDate(2020, 1, 1), QDate(2020, 1, 31)}));
        row("one program", "t_stats", filterOf(all, 5, 5));
        row("deleted program", "t_stats", filterOf(all, 7, 99));
        row("product group", "t_stats", filterOf(all, 1));
        row("person in charge", "t_stats", filterOf(all, 0, 0, QStringLiteral("lee")));
        row("one record", "t_stats_one", filterOf(all));
        row("empty database", "t_stats_empty", filterOf(all));
    }

    void figures()
    {
        QFETCH(QString, database);
        QFETCH(StatsFilter, filter);
        QVERIFY(m_env.connect(database));
        StatsWorker worker(CurrentStatsServer());
        StatsFigures f;
        int sent = 0;
        connect(&worker, &StatsWorker::figuresReady, this, [&](quint64, const StatsFigures& got) {
            f = got;
            ++sent;
        });
        worker.run(filter, 1);
        QCOMPARE(sent, 3);
        QCOMPARE(f.stage, 3);
        QCOMPARE(m_msgs.count(), 0);

        TestDb db;
        QVERIFY(db.exec(QStringLiteral("USE `%1`").arg(database)));
        const QString reg = within("qusdate", filter.period) + filtered(filter);
        const QString done = within("ftpdate", filter.period) + filtered(filter);

        // By status: the seven statuses, then everything else.
        QStringList status;
        for (const QString& s : StatsStatuses())
            status << s + QLatin1Char('|') +
                          db.value(
                              QStringLiteral("SELECT COUNT(*) FROM aslist a WHERE status = '%1'").arg(s) +
                              reg);
        status << QStringLiteral("기타|") +
                      db.value(
                          QStringLiteral("SELECT COUNT(*) FROM aslist a WHERE status NOT IN (%1)").arg(kAll) +
                          reg);
        QCOMPARE(countRows(f.byStatus), status);

        // By program: waiting, completed, the rest; deleted programs by their code.
        QCOMPARE(
            countRows(f.byProgram),
            foldTop(db.rows(QStringLiteral("SELECT IFNULL(p.name, CONCAT('코드 ', a.appcode)), "
                                           "SUM(status IN (%1)), SUM(status = '배포완료'), "
                                           "SUM(status NOT IN (%1, '배포완료')) FROM aslist a LEFT JOIN "
                                           "part p ON p.code = a.appcode WHERE 1=1")
                                .arg(kOpen) +
                            reg + QStringLiteral(" GROUP BY a.appcode ORDER BY COUNT(*) DESC, a.appcode"))));

        // Per month: registered and completed, every month of the period.
        QStringList months;
        for (const QString& m : MonthsOf(filter.period))
            months << QStringLiteral("%1|%2|%3")
                          .arg(m,
                               db.value(QStringLiteral(
                                            "SELECT COUNT(*) FROM aslist a WHERE LEFT(qusdate, 7) = '%1'")
                                            .arg(m) +
                                        reg),
                               db.value(QStringLiteral(
                                            "SELECT COUNT(*) FROM aslist a WHERE status = '배포완료' AND "
                                            "LEFT(ftpdate, 7) = '%1' AND %2")
                                            .arg(m, stampValid("ftpdate")) +
                                        done));
        QCOMPARE(countRows(f.byMonth), months);
        const QString leftOut = db.value(
            QStringLiteral("SELECT (SELECT COUNT(*) FROM aslist a WHERE qusdate NOT REGEXP "
                           "'^[0-9]{4}-(0[1-9]|1[0-2])'") +
            reg +
            QStringLiteral(") + (SELECT COUNT(*) FROM aslist a WHERE status = '배포완료' AND "
                           "ftpdate NOT REGEXP '^[0-9]{4}-[0-9]{2}-[0-9]{2} '") +
            reg + QStringLiteral(") + (SELECT COUNT(*) FROM aslist a WHERE status = '배포완료' AND NOT ") +
            stampValid("ftpdate") + done + QLatin1Char(')'));
        QCOMPARE(QString::number(f.byMonth.leftOut), leftOut);

        // Days to completion: median and 90th percentile by program and by answerer.
        const QString days =
            QStringLiteral("SELECT %1 AS label, TIMESTAMPDIFF(MINUTE, %2, %3) / 1440e0 AS d FROM aslist a "
                           "LEFT JOIN part p ON p.code = a.appcode LEFT JOIN user u ON u.id = a.user_a "
                           "WHERE status = '배포완료' AND %4 AND %5 AND %2 <= %3")
                .arg(QStringLiteral("%1"), minutes("qusdate"), minutes("ftpdate"), stampValid("qusdate"),
                     stampValid("ftpdate")) +
            done;
        const QString percentiles = QStringLiteral(
            "WITH d AS (%1), r AS (SELECT label, ROW_NUMBER() OVER (ORDER BY COUNT(*) DESC, BINARY label) AS "
            "rn, "
            "COUNT(*) OVER () AS n FROM d GROUP BY label), m AS (SELECT IF(r.n > 16 AND r.rn > 15, '기타', "
            "d.label) AS lbl, d.d FROM d JOIN r USING (label)) SELECT DISTINCT lbl, COUNT(*) OVER (PARTITION "
            "BY "
            "lbl), CAST(PERCENTILE_CONT(0.5) WITHIN GROUP (ORDER BY d) OVER (PARTITION BY lbl) AS "
            "DECIMAL(20, 4)), "
            "CAST(PERCENTILE_CONT(0.9) WITHIN GROUP (ORDER BY d) OVER (PARTITION BY lbl) AS DECIMAL(20, 4)) "
            "FROM m");
        const QString byProgram =
            percentiles.arg(days.arg(QStringLiteral("IFNULL(p.name, CONCAT('코드 ', a.appcode))")));
        const QString byAnswerer = percentiles.arg(days.arg(QStringLiteral(
            "CASE WHEN a.user_a = '' THEN '(없음)' ELSE IFNULL(NULLIF(u.name, ''), a.user_a) END")));
        QCOMPARE(timeDiff(f.timeByProgram, db.rows(byProgram)), QString());
        QCOMPARE(timeDiff(f.timeByAnswerer, db.rows(byAnswerer)), QString());
        QCOMPARE(
            QString::number(f.timeByProgram.leftOut),
            db.value(QStringLiteral("SELECT COUNT(*) FROM aslist a WHERE status = '배포완료' AND NOT (") +
                     stampValid("qusdate") + QStringLiteral(" AND ") + stampValid("ftpdate") +
                     QStringLiteral(" AND ") + minutes("qusdate") + QStringLiteral(" <= ") +
                     minutes("ftpdate") + QStringLiteral(")") + done));

        // Waiting now, whatever the period, per person in charge of the program.
        QCOMPARE(sorted(countRows(f.waiting)),
                 sorted(db.rows(
                     QStringLiteral(
                         "SELECT CASE WHEN IFNULL(p.chargeid, '') = '' THEN '(담당자 없음)' ELSE "
                         "IFNULL(NULLIF(u.name, ''), p.chargeid) END AS lbl, SUM(status = '요청대기'), "
                         "SUM(status = '장기예정(2주이상지체)'), SUM(status = '단기예정(1~2주이내)') FROM "
                         "aslist a LEFT JOIN part p ON p.code = a.appcode LEFT JOIN user u ON u.id = "
                         "p.chargeid WHERE status IN (%1)")
                         .arg(kOpen) +
                     filtered(filter) + QStringLiteral(" GROUP BY lbl"))));
    }

private:
    TestEnv m_env;
    MsgRecorder m_msgs;
};

QTEST_MAIN(StatsFiguresTest)
#include "tst_statsfigures.moc"
