#include "StatsData.h"

#include "TestDb.h"

bool LoadStatsData(TestDb& db, const QString& name, int records)
{
    if (!db.createDatabase(name) || !db.exec(QStringLiteral("USE `%1`").arg(name)))
        return false;
    bool ok = db.exec(QStringLiteral(
        "INSERT INTO user (id, name, groupcode) VALUES ('kim', '김철수', 1), ('lee', '이영희', 1), "
        "('park', '박민수', 1);"
        "INSERT INTO part (code, name, groupid, chargeid, sortord) WITH RECURSIVE n(i) AS (SELECT 1 UNION "
        "ALL "
        "SELECT i + 1 FROM n WHERE i < 17) SELECT i, CONCAT('프로그램', LPAD(i, 2, '0')), IF(i <= 3, 2, 0), "
        "CASE WHEN i <= 6 THEN 'kim' WHEN i <= 12 THEN 'lee' WHEN i = 13 THEN '' ELSE 'park' END, i FROM n"));
    if (!ok || records == 0)
        return ok;
    ok =
        db.exec(QStringLiteral(
                    "INSERT INTO aslist (seq, appcode, user_q, user_a, qusdate, ftpdate, status) "
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1), "
                    "r AS (SELECT i, '2025-06-01 08:00' + INTERVAL (i * 17) HOUR AS q, "
                    "ELT(1 + MOD(i, 10), '요청대기', '장기예정(2주이상지체)', '단기예정(1~2주이내)', "
                    "'배포완료', '배포완료', "
                    "'배포완료', '해결불가(원인불명)', '환경문제', '환경문제(사용문제)', IF(MOD(i, 20) = 9, "
                    "'', '검토중')) AS s "
                    "FROM n) "
                    "SELECT i, IF(MOD(i, 37) = 0, 99, 1 + MOD(i * 5 + i DIV 40, 17)), 'kim', ELT(1 + MOD(i, "
                    "4), 'kim', 'lee', 'park', ''), "
                    "DATE_FORMAT(q, '%Y-%m-%d %H:%i'), "
                    "IF(s = '배포완료', DATE_FORMAT(q + INTERVAL ((MOD(i, 29)) * 5 * 60 + MOD(i, 7)) MINUTE, "
                    "IF(MOD(i, 3) = 0, '%Y-%m-%d -%H:%i', '%Y-%m-%d %H:%i')), ''), s FROM r")
                    .arg(records));
    if (!ok || records < 600)
        return ok;
    return db.exec(QStringLiteral(
        "UPDATE aslist SET ftpdate = '미정' WHERE seq = 5;"
        "UPDATE aslist SET ftpdate = '' WHERE seq = 14;"
        "UPDATE aslist SET ftpdate = LEFT(ftpdate, 10) WHERE seq = 24;"
        "UPDATE aslist SET ftpdate = DATE_FORMAT(STR_TO_DATE(qusdate, '%Y-%m-%d %H:%i') - INTERVAL 1 DAY,"
        " '%Y-%m-%d %H:%i') WHERE seq = 34;"
        "UPDATE aslist SET qusdate = '2026-3-5 10:00' WHERE seq = 44;"
        "UPDATE aslist SET status = ' 요청대기' WHERE seq = 50;"));
}
