#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "db/SqlLog.h"
#include "records/ListExport.h"
#include "records/ListSearch.h"
#include "records/TextIndex.h"

#include <QtTest>
#include <random>

Q_DECLARE_METATYPE(ListFilters)

namespace {

const QString kDb = QStringLiteral("t_listplan");
const int kRecords = 20000;
const int kRandomCases = 320;
const int kCasesWithoutIndexes = 40;
const int kExportCaseStep = 8; // the export reads every matching record: every 8th combination

// Pools of ids and texts with quotes, backslashes, LIKE wildcards, Korean, line breaks
// and trailing blanks; records name users that do not exist.
QStringList pool(const char* items)
{
    return QString::fromUtf8(items).split(QLatin1Char('|'));
}
const QStringList kUsers = pool("kim|lee|park|o'neil|back\\slash|choi||gone|1|KIM|lee ");
const QStringList kTexts =
    pool("FrmSale|FrmSaleList|frm_cfg|Frm%Rate|급여계산|It's broken|C:\\temp|매출 저장 "
         "오류|O'Brien 문의|100% 멈춤|a_b 조회|인쇄 안됨\r\n두 줄|");
const QStringList kStatuses =
    pool("요청대기|장기예정(2주이상지체)|단기예정(1~2주이내)|배포완료|해결불가(원인불명)|"
         "환경문제|환경문제(사용문제)|");
const QStringList kCompanies =
    pool("대한상사|한국물산|O'Brien 상사|100%상사|a_b물산|back\\slash Co|똠양푸드|서울상사 ");
const QStringList kFinds = pool("Sale|저장|It's|100%|%|_|a_b|\\|'|상사|O'Brien|없는말|Frm|가| |\\%|물산|똠");
const int kCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 99};

QString q(const QString& text)
{
    return QLatin1Char('\'') + EscapeSQL(text) + QLatin1Char('\'');
}

// Programs: equal names under different codes, names that only a byte order sorts,
// persons in charge missing or unknown; code 99 has no program row.
const char* const kFixedRows =
    "INSERT INTO user (id, name, groupcode, hidden) VALUES ('kim', '김철수', 1, 0), ('lee', '이영희', 1, 0),"
    " ('park', '박민수', 0, 0), ('o''neil', '오닐', 1, 0), ('back\\\\slash', '역슬래시', 1, 0),"
    " ('choi', '최숨김', 1, 1);"
    "INSERT INTO part (code, name, groupid, chargeid) VALUES (1, '누리셈II', 2, 'kim'), (2, '가계부', 2, "
    "'lee'),"
    " (3, '회계관리', 1, 'lee'), (4, 'Bbox', 0, 'park'), (5, 'abc', 0, ''), (6, 'ABC', 2, 'gone'),"
    " (7, 'abc', 1, 'o''neil'), (8, '가계부', 0, 'back\\\\slash'), (11, 'Four', 0, 'kim'),"
    " (12, 'Five', 0, 'kim'), (13, 'Zeta', 0, 'kim'), (14, 'Alpha', 0, 'kim'), (15, 'alpha', 0, 'kim')";

// Registration times: half the records share one of 100 busy minutes, so ties at the 50th
// row are the rule; some times are blank-padded, empty or carry seconds.
QString randomTime(std::mt19937& rng)
{
    const QDateTime base(QDate(2026, 11, 1), QTime(0, 0));
    const int kind = int(rng() % 100), busyMinutes[] = {0, 540, 750, 1080, 1439};
    const QString busy = base.addDays(rng() % 20)
                             .addSecs(60 * busyMinutes[rng() % 5])
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (kind < 1)
        return QString();
    if (kind < 4)
        return busy + QLatin1Char(' ');
    if (kind < 6)
        return busy.left(10) + QStringLiteral(" 23:59:30");
    if (kind < 55)
        return busy;
    return base.addSecs(60 * qint64(rng() % (20 * 24 * 60))).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString row(QStringList values)
{
    return QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
}

bool insert(TestDb& db, const QString& into, const QStringList& rows)
{
    for (qsizetype i = 0; i < rows.size(); i += 1000)
        if (!db.exec(into + rows.mid(i, 1000).join(QLatin1Char(','))))
            return false;
    return true;
}

// Records 1 .. 20000 at random, one in twenty without a company. Then the hand-picked
// cases, in 2025 below them:
//   program 11: 50 records; program 12: 30 records
//   2025-06-02: 40 records; 2025-06-01 12:00: 10 each of Alpha, Zeta, alpha (seq order)
//   around 2025-07-01: the period's edges
bool loadRecords(TestDb& db)
{
    std::mt19937 rng(4242);
    auto pick = [&rng](const QStringList& list) { return q(list[int(rng() % list.size())]); };
    QStringList records, companies;
    for (int seq = 1; seq <= kRecords; ++seq) {
        records << row({QString::number(seq), QString::number(kCodes[rng() % 9]), pick(kUsers), pick(kUsers),
                        q(randomTime(rng)), pick(kTexts), pick(kTexts), pick(kTexts), pick(kTexts),
                        pick(kStatuses)});
        for (int c = rng() % 20 == 0 ? 0 : 1 + int(rng() % 3); c > 0; --c)
            companies << row({pick(kUsers), pick(kCompanies), QString::number(seq)});
    }
    auto edge = [&](int seq, int code, const QString& time, bool company = true) {
        records << row({QString::number(seq), QString::number(code), "'kim'", "'lee'", q(time), "'Edge'",
                        "'경계'", "''", "''", "'요청대기'"});
        if (company)
            companies << row({"'kim'", "'경계상사'", QString::number(seq)});
    };
    const QDateTime base(QDate(2025, 5, 1), QTime(8, 0));
    for (int i = 1; i <= 80; ++i)
        edge(100000 + i, i <= 50 ? 11 : 12,
             base.addSecs(60 * i).toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    for (int i = 1; i <= 30; ++i)
        edge(100100 + i, i <= 10 ? 14 : i <= 20 ? 13 : 15, QStringLiteral("2025-06-01 12:00"));
    for (int i = 1; i <= 40; ++i)
        edge(100130 + i, 13, QStringLiteral("2025-06-02 00:%1").arg(i, 2, 10, QLatin1Char('0')));
    const QStringList times = pool("2025-06-30 23:59|2025-07-01 00:00|2025-07-01 23:59|2025-07-01 23:59 |"
                                   "2025-07-01 23:59:30|2025-07-02 00:00");
    for (int i = 0; i < 6; ++i)
        edge(100201 + i, i == 3 ? 14 : 13, times[i]);
    edge(100207, 13, QStringLiteral("2025-07-01 12:00"), false);
    return insert(db,
                  QStringLiteral("INSERT INTO aslist (seq, appcode, user_q, user_a, qusdate, formname, title,"
                                 " errtext, solution, status) VALUES "),
                  records) &&
           insert(db, QStringLiteral("INSERT INTO ascomp (`user`, comname, ascode) VALUES "), companies);
}

// Records for the text searches (indexed by the triggers' own rows, while the merge has
// moved those of the records above into the bitmaps), on 2024-03-01 below all others: Korean with CP949
// extension syllables, mixed scripts and cases, line breaks, texts at a field's start
// and end, and texts that meet only across two fields (formname|title, title|errtext,
// errtext|solution).
bool loadTextRecords(TestDb& db)
{
    const char* const texts[][5] = {
        {"똠얌꿍화면", "똘똘이 제목", "똠얌꿍 레시피 문의", "", "희귀한회사명칭"},
        {"ERP서버설정", "ERP서버 접속 Timeout", "오류 E40412 발생\r\n다음 줄 시작말", "끝말", "대한상사"},
        {"FrmUpper", "Upper CASE Mixed", "lower case words", "시작말로 시작하고 끝말로끝남", "경계상사"},
        {"경계왼쪽", "오른쪽경계", "왼쪽끝", "오른시작", "왼쪽회사"},
    };
    QStringList records, companies;
    for (int i = 0; i < 4; ++i) {
        const QString seq = QString::number(300001 + i);
        records << QStringLiteral(
                       "(%1, 1, 'kim', 'lee', '2024-03-01 09:0%2', '%3', '%4', '%5', '%6', '요청대기')")
                       .arg(seq)
                       .arg(i + 1)
                       .arg(QString::fromUtf8(texts[i][0]), QString::fromUtf8(texts[i][1]),
                            QString::fromUtf8(texts[i][2]), QString::fromUtf8(texts[i][3]));
        companies << QStringLiteral("('kim', '%1', %2)").arg(QString::fromUtf8(texts[i][4]), seq);
    }
    return insert(db,
                  QStringLiteral("INSERT INTO aslist (seq, appcode, user_q, user_a, qusdate, formname, title,"
                                 " errtext, solution, status) VALUES "),
                  records) &&
           insert(db, QStringLiteral("INSERT INTO ascomp (`user`, comname, ascode) VALUES "), companies);
}

ListFilters textFilters(const QString& screen, const QString& texts, const QString& company = {})
{
    ListFilters f;
    f.findMemo = {screen, texts, company};
    return f;
}

// A reproducible combination of the twelve filters, each on about one time in ten to four.
ListFilters randomFilters(unsigned seed)
{
    std::mt19937 rng(seed);
    auto chance = [&rng](int percent) { return int(rng() % 100) < percent; };
    auto pick = [&rng](const QStringList& list) { return list[int(rng() % list.size())]; };
    ListFilters f;
    f.userId = pick({"kim", "lee", "o'neil"});
    for (int i = 0; i < 3; ++i) {
        f.showMine[i] = chance(8);
        if (chance(10))
            f.userKey[i] = pick(kUsers.mid(0, 10));
        if (chance(14))
            f.findMemo[i] = pick(i == 2 ? kCompanies.mid(0, 5) + pool("똠|없는말|\\|%") : kFinds);
    }
    f.term = chance(25);
    f.termFrom = QDate(2026, 10, 30).addDays(rng() % 24);
    f.termTo = chance(90) ? f.termFrom.addDays(rng() % 8) : f.termFrom.addDays(-1);
    if (chance(25)) {
        f.programIndex = chance(30) ? 1 : 2 + int(rng() % 9);
        f.programCode = f.programIndex > 1 ? kCodes[f.programIndex - 2] : 0;
    }
    if (chance(20)) {
        f.statusIndex = 1 + int(rng() % 6);
        f.statusText = ListStatusEntries()[f.statusIndex];
    }
    return f;
}

// Every row of a result: the column names, then each row's columns as the server sent them.
QList<QByteArray> rowsOf(ListReader read, const ListFilters& f, long* count)
{
    RecordSetPtr rs;
    *count = read(rs, f);
    QList<QByteArray> rows;
    for (; rs && !rs->Eof(); rs->MoveNext()) {
        QByteArray row;
        for (int i = 0; i < rs->FieldCount(); ++i)
            row += rs->FieldName(i).toUtf8() + '=' + rs->FieldBytes(i) + '|';
        rows << row;
    }
    CloseRecordset(rs);
    return rows;
}

// The record numbers of rows from rowsOf, in order.
QString seqsOf(const QList<QByteArray>& rows)
{
    QStringList seqs;
    for (const QByteArray& row : rows)
        seqs << QString::fromLatin1(row.mid(4, row.indexOf('|') - 4));
    return seqs.join(QLatin1Char(','));
}

// The program `code`, or else the period from .. to.
ListFilters edgeFilters(int code, QDate from = {}, QDate to = {})
{
    ListFilters f;
    f.programIndex = code ? 2 : 0;
    f.programCode = code;
    f.term = !code;
    f.termFrom = from;
    f.termTo = to;
    return f;
}

long openExport(RecordSetPtr& rs, const ListFilters& f)
{
    return OpenListExportRecordset(rs, f);
}

long openExportReference(RecordSetPtr& rs, const ListFilters& f)
{
    return OpenRecordset(rs, ListExportStatement(f));
}

QString seqRange(int first, int last)
{
    QStringList seqs;
    for (int seq = first, step = first <= last ? 1 : -1; seq != last + step; seq += step)
        seqs << QString::number(seq);
    return seqs.join(QLatin1Char(','));
}

} // namespace

// The list's quick two-step search against the statement the list has always sent: the
// same rows in the same order with the same columns, for every combination of filters.
class ListPlanTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameRowsAsTheReference_data();
    void sameRowsAsTheReference();
    void edgeCases_data();
    void edgeCases();
    void textSearches_data();
    void textSearches();
    void exportSameRowsAsTheReference_data();
    void exportSameRowsAsTheReference();

private:
    TestEnv m_env;
    bool m_indexesDropped = false;
};

void ListPlanTest::initTestCase()
{
    QVERIFY(m_env.createDatabase(kDb));
    TestDb db;
    QVERIFY2(db.exec(QStringLiteral("USE %1").arg(kDb)) && db.exec(QLatin1String(kFixedRows)) &&
                 loadRecords(db) && db.exec(QStringLiteral("CALL astext_merge()")) && loadTextRecords(db) &&
                 db.exec(QStringLiteral("ANALYZE TABLE aslist, ascomp, part, user")),
             qPrintable(db.error()));
    QVERIFY(m_env.connect(kDb));
}

void ListPlanTest::sameRowsAsTheReference_data()
{
    QTest::addColumn<ListFilters>("filters");
    QTest::addColumn<bool>("indexes");
    for (int i = 0; i < kRandomCases + kCasesWithoutIndexes; ++i)
        QTest::addRow("combination %d", i) << randomFilters(unsigned(1000 + i)) << (i < kRandomCases);
}

void ListPlanTest::sameRowsAsTheReference()
{
    QFETCH(ListFilters, filters);
    QFETCH(bool, indexes);
    if (!indexes && !m_indexesDropped) {
        // An installation without the list's indexes gets the same rows, only slower.
        TestDb db;
        QVERIFY2(db.exec(QStringLiteral("USE %1; ALTER TABLE aslist DROP INDEX aslist_qusdate, DROP INDEX "
                                        "aslist_appcode, DROP INDEX aslist_user_q, DROP INDEX aslist_user_a")
                             .arg(kDb)),
                 qPrintable(db.error()));
        m_indexesDropped = true;
    }
    MsgRecorder msgs;
    long count = 0, referenceCount = 0;
    const QList<QByteArray> rows = rowsOf(OpenListRecordset, filters, &count);
    const QList<QByteArray> reference = rowsOf(OpenListReference, filters, &referenceCount);
    QCOMPARE(msgs.texts().join(QLatin1Char('\n')), QString());
    QCOMPARE(rows, reference);
    QCOMPARE(count, referenceCount);
}

void ListPlanTest::edgeCases_data()
{
    QTest::addColumn<ListFilters>("filters");
    QTest::addColumn<QString>("seqs");
    QTest::newRow("exactly 50") << edgeFilters(11) << seqRange(100050, 100001);
    QTest::newRow("fewer than 50") << edgeFilters(12) << seqRange(100080, 100051);
    QTest::newRow("no match") << edgeFilters(9) << QString();
    // The walk meets the tie from its highest numbers (alpha); the list wants Alpha first.
    QTest::newRow("a tie spanning the 50th row")
        << edgeFilters(0, QDate(2025, 6, 1), QDate(2025, 6, 2))
        << seqRange(100170, 100131) + QLatin1Char(',') + seqRange(100101, 100110);
    QTest::newRow("period of one day: both edges, a blank-padded time in, seconds out")
        << edgeFilters(0, QDate(2025, 7, 1), QDate(2025, 7, 1)) << QStringLiteral("100204,100203,100202");
    QTest::newRow("period starting at the last day")
        << edgeFilters(0, QDate(2025, 7, 2), QDate(2025, 7, 2)) << QStringLiteral("100206");
    QTest::newRow("period ending at the first day")
        << edgeFilters(0, QDate(2025, 6, 30), QDate(2025, 6, 30)) << QStringLiteral("100201");
}

void ListPlanTest::edgeCases()
{
    QFETCH(ListFilters, filters);
    QFETCH(QString, seqs);
    gSQLLogLevel = 0;
    gSQLSlowTime = 0; // the slow log takes every statement as it was sent
    QFile::remove(gSQLLogSlowFile);
    long count = 0, referenceCount = 0;
    const QList<QByteArray> rows = rowsOf(OpenListRecordset, filters, &count);
    QCOMPARE(rows, rowsOf(OpenListReference, filters, &referenceCount));
    QCOMPARE(count, referenceCount);
    QCOMPARE(seqsOf(rows), seqs);

    QStringList logged;
    for (const QByteArray& line : ReadFileBytes(gSQLLogSlowFile).split('\n'))
        if (!line.trimmed().isEmpty())
            logged << HexDecodeLogLine(QString::fromLatin1(line.trimmed())).section(QLatin1Char('\t'), 2, 2);
    QCOMPARE(logged.value(0), ListWalkStatement(filters) + QLatin1Char(';'));
    QCOMPARE(logged.size(), seqs.isEmpty() ? 2 : 3); // walk, rows; then the reference
    QVERIFY(logged[1].startsWith(ListStatement(filters).section(QStringLiteral(" GROUP BY"), 0, 0)));
}

// Text searches through the index: the same rows as the reference; `narrowed` when the
// index gives the candidates (one character, or no letter pair, walks as before).
void ListPlanTest::textSearches_data()
{
    QTest::addColumn<ListFilters>("filters");
    QTest::addColumn<QString>("seqs");
    QTest::addColumn<bool>("narrowed");
    const QString none;
    QTest::newRow("Hangul with extension syllables")
        << textFilters({}, QStringLiteral("똠얌꿍")) << QStringLiteral("300001") << true;
    QTest::newRow("two characters") << textFilters({}, QStringLiteral("똘똘")) << QStringLiteral("300001")
                                    << true;
    QTest::newRow("one character") << textFilters({}, QStringLiteral("똠")) << QStringLiteral("300001")
                                   << false;
    QTest::newRow("mixed scripts, other case")
        << textFilters({}, QStringLiteral("erp서버 접속 TIMEOUT")) << QStringLiteral("300002") << true;
    QTest::newRow("letter and digits")
        << textFilters({}, QStringLiteral("e40412")) << QStringLiteral("300002") << true;
    QTest::newRow("across a line break")
        << textFilters({}, QStringLiteral("발생\r\n다음")) << QStringLiteral("300002") << true;
    QTest::newRow("start of a field")
        << textFilters({}, QStringLiteral("시작말로")) << QStringLiteral("300003") << true;
    QTest::newRow("end of fields") << textFilters({}, QStringLiteral("끝말"))
                                   << QStringLiteral("300003,300002") << true;
    QTest::newRow("screen name, other case")
        << textFilters(QStringLiteral("frmUPPER"), {}) << QStringLiteral("300003") << true;
    QTest::newRow("across screen name and title")
        << textFilters(QStringLiteral("왼쪽오른"), {}) << none << true;
    QTest::newRow("across title and request") << textFilters({}, QStringLiteral("경계왼쪽")) << none << true;
    QTest::newRow("across request and solution")
        << textFilters({}, QStringLiteral("왼쪽끝오른")) << none << true;
    QTest::newRow("longer than the screen name")
        << textFilters(QStringLiteral("똠얌꿍화면").repeated(20), {}) << none << true;
    QTest::newRow("longer than any text")
        << textFilters({}, QStringLiteral("똠얌꿍 레시피").repeated(5000)) << none << true;
    QTest::newRow("company") << textFilters({}, {}, QStringLiteral("희귀한회사")) << QStringLiteral("300001")
                             << true;
    QTest::newRow("company and texts") << textFilters({}, QStringLiteral("똠얌꿍"), QStringLiteral("희귀한"))
                                       << QStringLiteral("300001") << true;
    QTest::newRow("company and other texts")
        << textFilters({}, QStringLiteral("ERP"), QStringLiteral("희귀한")) << none << true;
    QTest::newRow("a word nobody wrote") << textFilters({}, QStringLiteral("없는낱말")) << none << true;
    QTest::newRow("cut at a NUL as the statement is")
        << textFilters({}, QStringLiteral("똠얌") + QChar(0) + QStringLiteral("없는낱말"))
        << QStringLiteral("300001") << true;
    QTest::newRow("a literal percent sign") << textFilters({}, QStringLiteral("%얌")) << none << false;
    ListFilters f = textFilters({}, QStringLiteral("ERP서버"));
    f.programIndex = 2;
    f.programCode = 1;
    f.term = true;
    f.termFrom = f.termTo = QDate(2024, 3, 1);
    QTest::newRow("with program and period") << f << QStringLiteral("300002") << true;
    f.programCode = 2;
    QTest::newRow("with another program") << f << none << true;
}

void ListPlanTest::textSearches()
{
    QFETCH(ListFilters, filters);
    QFETCH(QString, seqs);
    QFETCH(bool, narrowed);
    MsgRecorder msgs;
    QCOMPARE(FindTextCandidates(filters).has_value(), narrowed);
    long count = 0, referenceCount = 0;
    const QList<QByteArray> rows = rowsOf(OpenListRecordset, filters, &count);
    QCOMPARE(rows, rowsOf(OpenListReference, filters, &referenceCount));
    QCOMPARE(count, referenceCount);
    QCOMPARE(seqsOf(rows), seqs);
    QCOMPARE(rowsOf(openExport, filters, &count), rowsOf(openExportReference, filters, &referenceCount));
    QCOMPARE(msgs.texts().join(QLatin1Char('\n')), QString());
}

// The export's quick statement against the list's statement without its limit.
void ListPlanTest::exportSameRowsAsTheReference_data()
{
    QTest::addColumn<ListFilters>("filters");
    QTest::newRow("no filter") << ListFilters();
    QTest::newRow("a tie of program names") << edgeFilters(0, QDate(2025, 6, 1), QDate(2025, 6, 2));
    for (int i = 0; i < kRandomCases + kCasesWithoutIndexes; i += kExportCaseStep)
        QTest::addRow("combination %d", i) << randomFilters(unsigned(1000 + i));
}

void ListPlanTest::exportSameRowsAsTheReference()
{
    QFETCH(ListFilters, filters);
    MsgRecorder msgs;
    long count = 0, referenceCount = 0;
    const QList<QByteArray> rows = rowsOf(openExport, filters, &count);
    QCOMPARE(msgs.texts().join(QLatin1Char('\n')), QString());
    QCOMPARE(rows, rowsOf(openExportReference, filters, &referenceCount));
    QCOMPARE(count, referenceCount);
}

QTEST_GUILESS_MAIN(ListPlanTest)
#include "tst_listplan.moc"
