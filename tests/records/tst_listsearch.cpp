#include "ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/Cp949.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "records/ListQuery.h"

#include <QtTest>

Q_DECLARE_METATYPE(ListFilters)

namespace {

const QString kDb = QStringLiteral("t_listsearch");
const QString kLimitDb = QStringLiteral("t_listlimit");

const QString kTables = QStringLiteral(
    " FROM aslist AS a JOIN part AS p ON a.appcode = p.code"
    " JOIN ascomp AS c ON c.ascode = a.seq LEFT JOIN user AS u ON a.user_q = u.id LEFT JOIN user AS u2 ON"
    " a.user_a = u2.id LEFT JOIN user AS u3 ON p.chargeid = u3.id");
const QString kHead =
    QStringLiteral(
        " SELECT a.seq, a.appcode, a.formname, a.title, a.errtext , user_q, user_a, qusdate, ftpdate, "
        "solution, status , COUNT(c.seq) AS count, p.name AS pname , p.code, p.groupid, p.chargeid, "
        "u.name AS uname, u.id AS id1, u2.name AS uname2, u2.id AS id2, u3.id AS id3 ") +
    kTables;
const QString kGroupBy = QStringLiteral(
    " GROUP BY a.seq, a.appcode, a.formname, a.title, a.errtext , user_q, user_a, qusdate, ftpdate, solution,"
    " status, p.name, p.code, p.groupid, p.chargeid, u.name, u.id, u2.name, u2.id, u3.id");
const QString kTail = QStringLiteral(" ORDER BY qusdate DESC , binary p.name, a.seq  LIMIT 50");

ListFilters asKim()
{
    ListFilters f;
    f.userId = QStringLiteral("kim");
    f.termFrom = QDate(2026, 11, 2);
    f.termTo = QDate(2026, 11, 3);
    return f;
}

// The record numbers of the rows, joined by ",".
QString run(const QString& statement, long* count = nullptr)
{
    RecordSetPtr rs;
    const long n = OpenRecordset(rs, statement);
    if (count)
        *count = n;
    QStringList seqs;
    for (; rs && !rs->Eof(); rs->MoveNext())
        seqs << rs->Field(QStringLiteral("seq"));
    CloseRecordset(rs);
    return seqs.join(QLatin1Char(','));
}

} // namespace

// The list search statement: its exact text for every filter, and what the server
// lists with it.
class ListSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QVERIFY(m_env.connect(kDb)); }
    void cleanup() { CloseDB(); }
    void wholeStatement();
    void filters_data();
    void filters();
    void rowsWithoutAnswererOrAskerAreListed();
    void companyCountAndColumns();
    void limitAndOrder();
    void singleRecordAndDetailStatements();
    void detailOfARecordWithoutCompanies();
    void statusEntries();

private:
    TestEnv m_env;
};

void ListSearchTest::initTestCase()
{
    QVERIFY(m_env.createDatabase(kDb));
    TestDb db;
    QVERIFY2(LoadListData(db, kDb), qPrintable(db.error()));
}

void ListSearchTest::wholeStatement()
{
    ListFilters f = asKim();
    f.showMine = {true, true, true};
    f.term = true;
    f.programIndex = 3;
    f.programCode = 7;
    f.findMemo = {QStringLiteral("Frm"), QStringLiteral("저장"), QStringLiteral("상사")};
    f.statusIndex = 1;
    f.statusText = QStringLiteral("요청대기");
    f.userKey = {QStringLiteral("lee"), QStringLiteral("park"), QStringLiteral("kim")};
    QCOMPARE(ListStatement(f),
             kHead +
                 QStringLiteral(
                     " WHERE 1=1  AND u.id = 'kim' AND u2.id = 'kim' AND u3.id = 'kim'"
                     " AND qusdate BETWEEN '2026-11-02 00:00' AND '2026-11-03 23:59' AND code = 7"
                     " AND a.formname LIKE '%Frm%' AND (a.errtext LIKE '%저장%' OR a.title LIKE '%저장%' OR"
                     " a.solution LIKE '%저장%') AND c.comname LIKE '%상사%' AND a.status LIKE '%요청대기%'"
                     " AND u.id = 'lee' AND u2.id = 'park' AND u3.id = 'kim'") +
                 kGroupBy + kTail);
    QCOMPARE(run(ListStatement(f)), QString());
    QCOMPARE(ListStatement(asKim()), kHead + QStringLiteral(" WHERE 1=1 ") + kGroupBy + kTail);
}

void ListSearchTest::filters_data()
{
    QTest::addColumn<ListFilters>("filters");
    QTest::addColumn<QString>("conditions");
    QTest::addColumn<QString>("seqs");

    ListFilters f = asKim();
    QTest::newRow("none: every record with a company") << f << QString() << QStringLiteral("6,4,3,2,1");

    f = asKim();
    f.showMine[0] = true;
    QTest::newRow("1 mine as asker") << f << QStringLiteral(" AND u.id = 'kim'") << QStringLiteral("6,1");
    f = asKim();
    f.showMine[1] = true;
    QTest::newRow("2 mine as answerer") << f << QStringLiteral(" AND u2.id = 'kim'") << QStringLiteral("2");
    f = asKim();
    f.showMine[2] = true;
    QTest::newRow("3 mine as person in charge")
        << f << QStringLiteral(" AND u3.id = 'kim'") << QStringLiteral("1");

    f = asKim();
    f.term = true;
    QTest::newRow("4 period") << f
                              << QStringLiteral(
                                     " AND qusdate BETWEEN '2026-11-02 00:00' AND '2026-11-03 23:59'")
                              << QStringLiteral("3,2");
    f.termFrom = QDate(2026, 11, 3);
    f.termTo = QDate(2026, 11, 2);
    QTest::newRow("4 inverted period")
        << f << QStringLiteral(" AND qusdate BETWEEN '2026-11-03 00:00' AND '2026-11-02 23:59'") << QString();
    f = asKim();
    f.termFrom = QDate(2026, 11, 3);
    f.termTo = QDate(2026, 11, 2);
    QTest::newRow("4 period off: the dates do nothing") << f << QString() << QStringLiteral("6,4,3,2,1");

    f = asKim();
    f.programIndex = 4;
    f.programCode = 3;
    QTest::newRow("5 one program") << f << QStringLiteral(" AND code = 3") << QStringLiteral("3");
    f.programIndex = 1;
    QTest::newRow("5 the product group")
        << f << QStringLiteral(" AND p.groupid = 2") << QStringLiteral("2,1");
    f.programIndex = 0;
    QTest::newRow("5 placeholder: all programs") << f << QString() << QStringLiteral("6,4,3,2,1");

    f = asKim();
    f.findMemo[0] = QStringLiteral("Sale");
    QTest::newRow("6 screen name") << f << QStringLiteral(" AND a.formname LIKE '%Sale%'")
                                   << QStringLiteral("6,3,1");
    f = asKim();
    f.findMemo[1] = QStringLiteral("조회");
    const QString texts =
        QStringLiteral(" AND (a.errtext LIKE '%%1%' OR a.title LIKE '%%1%' OR a.solution LIKE '%%1%')");
    QTest::newRow("7 title and request text")
        << f << texts.arg(QStringLiteral("조회")) << QStringLiteral("2");
    f.findMemo[1] = QStringLiteral("드라이버");
    QTest::newRow("7 solution") << f << texts.arg(QStringLiteral("드라이버")) << QStringLiteral("3");
    f.findMemo[1] = QStringLiteral("It's");
    QTest::newRow("7 apostrophe") << f << texts.arg(QStringLiteral("It''s")) << QStringLiteral("4");
    // A typed backslash is a backslash to find, not the escape of the next character.
    f.findMemo[1] = QStringLiteral("\\");
    QTest::newRow("7 backslash") << f << texts.arg(QStringLiteral("\\\\\\\\")) << QString();
    f = asKim();
    f.findMemo[2] = QStringLiteral("상사");
    QTest::newRow("8 company name") << f << QStringLiteral(" AND c.comname LIKE '%상사%'")
                                    << QStringLiteral("6,4,3,1");
    f.findMemo[2] = QStringLiteral("O'Brien");
    QTest::newRow("8 apostrophe") << f << QStringLiteral(" AND c.comname LIKE '%O''Brien%'")
                                  << QStringLiteral("4");

    f = asKim();
    f.statusIndex = 6;
    f.statusText = QStringLiteral("환경문제");
    QTest::newRow("9 환경문제 finds 환경문제(사용문제)")
        << f << QStringLiteral(" AND a.status LIKE '%환경문제%'") << QStringLiteral("4,2");
    f.statusIndex = 1;
    f.statusText = QStringLiteral("요청대기");
    QTest::newRow("9 요청대기") << f << QStringLiteral(" AND a.status LIKE '%요청대기%'")
                                << QStringLiteral("1");
    f.statusIndex = 0;
    f.statusText = QString();
    QTest::newRow("9 empty entry") << f << QString() << QStringLiteral("6,4,3,2,1");

    f = asKim();
    f.userKey[0] = QStringLiteral("lee");
    QTest::newRow("10 asker") << f << QStringLiteral(" AND u.id = 'lee'") << QStringLiteral("2");
    f = asKim();
    f.userKey[1] = QStringLiteral("park");
    QTest::newRow("11 answerer") << f << QStringLiteral(" AND u2.id = 'park'") << QStringLiteral("4");
    f = asKim();
    f.userKey[2] = QStringLiteral("lee");
    QTest::newRow("12 person in charge")
        << f << QStringLiteral(" AND u3.id = 'lee'") << QStringLiteral("3,2");
    f.userKey[2] = QStringLiteral("o'neil");
    QTest::newRow("12 key with an apostrophe") << f << QStringLiteral(" AND u3.id = 'o''neil'") << QString();

    f = asKim();
    f.showMine[0] = true;
    f.userKey[0] = QStringLiteral("lee");
    QTest::newRow("mine and another asker: both apply")
        << f << QStringLiteral(" AND u.id = 'kim' AND u.id = 'lee'") << QString();
    f.userKey[0] = QStringLiteral("kim");
    QTest::newRow("mine and myself as asker")
        << f << QStringLiteral(" AND u.id = 'kim' AND u.id = 'kim'") << QStringLiteral("6,1");
    f = asKim();
    f.programIndex = 1;
    f.findMemo[0] = QStringLiteral("Frm");
    f.userKey[1] = QStringLiteral("kim");
    QTest::newRow("group, screen name and answerer")
        << f << QStringLiteral(" AND p.groupid = 2 AND a.formname LIKE '%Frm%' AND u2.id = 'kim'")
        << QStringLiteral("2");
}

void ListSearchTest::filters()
{
    QFETCH(ListFilters, filters);
    QFETCH(QString, conditions);
    QFETCH(QString, seqs);
    const QString statement = ListStatement(filters);
    QCOMPARE(statement, kHead + QStringLiteral(" WHERE 1=1 ") + conditions + kGroupBy + kTail);
    MsgRecorder msgs;
    QCOMPARE(run(statement), seqs);
    QCOMPARE(msgs.texts(), QStringList());
}

void ListSearchTest::rowsWithoutAnswererOrAskerAreListed()
{
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, ListStatement(asKim())), 5L);
    QStringList rows;
    for (; !rs->Eof(); rs->MoveNext())
        rows << QStringList{rs->Field(QStringLiteral("seq")), rs->Field(QStringLiteral("uname")),
                            rs->Field(QStringLiteral("id1")), rs->Field(QStringLiteral("uname2")),
                            rs->Field(QStringLiteral("id2")), rs->Field(QStringLiteral("id3"))}
                    .join(QLatin1Char('|'));
    CloseRecordset(rs);
    QCOMPARE(rows, (QStringList{QStringLiteral("6|김철수|kim|||park"), QStringLiteral("4|||박민수|park|park"),
                                QStringLiteral("3|박민수|park|||lee"),
                                QStringLiteral("2|이영희|lee|김철수|kim|lee"),
                                QStringLiteral("1|김철수|kim|이영희|lee|kim")}));
}

void ListSearchTest::companyCountAndColumns()
{
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, ListStatement(asKim())), 5L);
    QStringList counts;
    for (; !rs->Eof(); rs->MoveNext())
        counts << rs->Field(QStringLiteral("count"));
    QCOMPARE(counts, (QStringList{"1", "1", "1", "1", "2"}));
    rs->MoveFirst();
    for (int i = 0; i < 4; ++i)
        rs->MoveNext();
    QCOMPARE(rs->Field(QStringLiteral("qusdate")), QStringLiteral("2026-11-01 09:00"));
    QCOMPARE(rs->Field(QStringLiteral("pname")), QStringLiteral("누리셈II"));
    QCOMPARE(rs->Field(QStringLiteral("formname")), QStringLiteral("FrmSale"));
    QCOMPARE(rs->Field(QStringLiteral("title")), QStringLiteral("매출 저장 오류"));
    QCOMPARE(rs->Field(QStringLiteral("status")), QStringLiteral("요청대기"));
    QCOMPARE(rs->Field(QStringLiteral("ftpdate")), QStringLiteral("2026-11-10 18:00"));
    QCOMPARE(rs->Field(QStringLiteral("code")), QStringLiteral("1"));
    CloseRecordset(rs);
}

// 60 records over 15 days, four a day: 가계부, abc, Bbox, abc in the order of their
// numbers. The newest day comes first; within a day the program names go by their bytes
// (Bbox before abc before 가계부, which no case-blind order gives), then the numbers.
void ListSearchTest::limitAndOrder()
{
    QVERIFY(m_env.createDatabase(kLimitDb));
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("USE %1").arg(kLimitDb)));
    QVERIFY(db.exec(QStringLiteral("INSERT INTO user (id, name) VALUES ('kim', '김철수');"
                                   "INSERT INTO part (code, name, chargeid) VALUES (2, '가계부', 'kim'),"
                                   " (4, 'Bbox', 'kim'), (5, 'abc', 'kim')")));
    const int apps[4] = {2, 5, 4, 5};
    QStringList records, companies;
    for (int seq = 1; seq <= 60; ++seq) {
        const int day = (seq - 1) / 4 + 1;
        records << QStringLiteral("(%1, %2, 'kim', 'kim', '2026-10-%3 09:00')")
                       .arg(seq)
                       .arg(apps[(seq - 1) % 4])
                       .arg(day, 2, 10, QLatin1Char('0'));
        companies << QStringLiteral("('상사%1', %1)").arg(seq);
    }
    QVERIFY(db.exec(QStringLiteral("INSERT INTO aslist (seq, appcode, user_q, user_a, qusdate) VALUES ") +
                    records.join(QLatin1Char(','))));
    QVERIFY(db.exec(QStringLiteral("INSERT INTO ascomp (comname, ascode) VALUES ") +
                    companies.join(QLatin1Char(','))));

    QStringList expected;
    for (int day = 15; expected.size() < 50; --day) {
        const int first = (day - 1) * 4 + 1; // 가계부, abc, Bbox, abc
        for (int seq : {first + 2, first + 1, first + 3, first})
            expected << QString::number(seq);
    }
    expected = expected.mid(0, 50);
    QVERIFY(m_env.connect(kLimitDb));
    long count = 0;
    QCOMPARE(run(ListStatement(asKim()), &count), expected.join(QLatin1Char(',')));
    QCOMPARE(count, 50L);
}

void ListSearchTest::singleRecordAndDetailStatements()
{
    QCOMPARE(
        ListRecordStatement(3),
        QStringLiteral(
            " SELECT a.seq, a.appcode, a.formname, a.title, a.errtext , user_q, user_a, qusdate,  ftpdate, "
            "solution, status,COUNT(c.seq) AS count, p.name AS pname , p.code, p.groupid, p.chargeid, "
            "u.name AS uname, u.id AS id1, u2.name AS uname2, u2.id AS id2, u3.id AS id3 ") +
            kTables + QStringLiteral(" WHERE a.seq = 3") + kGroupBy);
    QCOMPARE(run(ListRecordStatement(3)), QStringLiteral("3"));
    QCOMPARE(run(ListRecordStatement(4)), QStringLiteral("4"));
    QCOMPARE(run(ListRecordStatement(5)), QString()); // no company
    QCOMPARE(DetailStatement(12),
             QStringLiteral(
                 " SELECT a.errtext, a.solution , a.sshot1, a.sshot2, a.sshot3, a.sshot4, a.sshot5, "
                 "a.sshot6, a.sshot7, a.sshot8, a.sshot9, a.sshot10 , c.seq AS CSEQ, c.comname, c.user "
                 ",u.name FROM (aslist AS a  LEFT JOIN ascomp AS c ON a.seq = c.ascode) LEFT  JOIN user "
                 "as u ON u.id = c.user WHERE a.seq =12 ORDER BY CSEQ"));
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, DetailStatement(1)), 2L);
    QStringList companies;
    for (; !rs->Eof(); rs->MoveNext())
        companies << rs->Field(QStringLiteral("CSEQ")) + QLatin1Char('|') +
                         rs->Field(QStringLiteral("comname")) + QLatin1Char('|') +
                         rs->Field(QStringLiteral("user")) + QLatin1Char('|') +
                         rs->Field(QStringLiteral("name"));
    CloseRecordset(rs);
    QCOMPARE(companies,
             (QStringList{QStringLiteral("1|대한상사|kim|김철수"), QStringLiteral("2|한국물산|lee|이영희")}));
}

void ListSearchTest::detailOfARecordWithoutCompanies()
{
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, DetailStatement(5)), 1L);
    QCOMPARE(rs->Field(QStringLiteral("errtext")), QStringLiteral("업체가 없는 자료"));
    QCOMPARE(rs->Field(QStringLiteral("CSEQ")), QString());
    QCOMPARE(rs->Field(QStringLiteral("comname")), QString());
    CloseRecordset(rs);
    QCOMPARE(OpenRecordset(rs, DetailStatement(99)), 0L);
    CloseRecordset(rs);
}

void ListSearchTest::statusEntries()
{
    QCOMPARE(ListStatusEntries(),
             (QStringList{QString(), QStringLiteral("요청대기"), QStringLiteral("장기예정(2주이상지체)"),
                          QStringLiteral("단기예정(1~2주이내)"), QStringLiteral("배포완료"),
                          QStringLiteral("해결불가(원인불명)"), QStringLiteral("환경문제")}));
}

QTEST_GUILESS_MAIN(ListSearchTest)
#include "tst_listsearch.moc"
