#include "MsgRecorder.h"
#include "TestEnv.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "editor/RecordStatements.h"
#include "journal/JournalEntry.h"
#include "journal/JournalHistory.h"
#include "journal/JournalStatements.h"
#include "records/CompanyStatements.h"
#include "records/ExcelImportSql.h"
#include "records/MainCommands.h"
#include "windows/FrmHistory.h"

#include <QProcess>
#include <QTreeWidget>
#include <QtTest>

namespace {
const QString kDb = QStringLiteral("t_journal");

QString repeated(const QString& piece, int chars)
{
    QString s;
    while (s.size() < chars)
        s += piece;
    return s.left(chars);
}

// The record columns at their longest, in CP949 bytes (a Hangul syllable counts 2).
RecordValues hostileRecord(const QString& text)
{
    RecordValues v;
    v.programCode = 1;
    v.formName = text.left(50);
    v.title = text.left(100);
    v.errText = text;
    v.shots[1] = QStringLiteral("\\\\fs\\사내문서\\7_AS스샷\\1_") + text.left(40) + QStringLiteral(".jpg");
    v.askId = QStringLiteral("hqt");
    v.qusDate = QStringLiteral("2026-12-01 09:00");
    v.status = QStringLiteral("요청대기");
    return v;
}

// Runs the `mariadb` client on a file against the test's database, as an administrator.
bool runClient(const QString& database, const QString& file)
{
    QProcess p;
    p.setStandardInputFile(file);
    p.start(QStringLiteral("mariadb"),
            {QStringLiteral("--socket=") + qEnvironmentVariable("AS_TEST_DB_SOCKET"),
             QStringLiteral("-uroot"), QStringLiteral("--default-character-set=euckr"), database});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString journalKinds(TestDb& db, long seq)
{
    return db
        .rows(QStringLiteral("SELECT kind, field, appuser FROM %1.asjournal_entry WHERE ascode = %2 "
                             "ORDER BY id")
                  .arg(kDb)
                  .arg(seq))
        .join(QLatin1Char(','));
}
} // namespace

class JournalTriggersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { CloseDB(); }
    void everyStatementOfTheProgramIsJournalled_data();
    void everyStatementOfTheProgramIsJournalled();
    void anOlderClientIsUnknown();
    void onlyCommittedSavesAreJournalled_data();
    void onlyCommittedSavesAreJournalled();
    void aBrokenJournalNeverFailsAWrite();
    void theHistoryIsNewestFirstWithNames();
    void theUpgradeRunsTwiceOnADatabaseWithData();

private:
    TestEnv m_env;
};

void JournalTriggersTest::initTestCase()
{
    QVERIFY(m_env.createDatabase(kDb));
    QVERIFY(TestDb(1).exec(
        QStringLiteral("INSERT INTO t_journal.part (code, name, chargeid) VALUES (1, '급여', "
                       "'kim'); INSERT INTO t_journal.user (id, name) VALUES ('hqt', '홍길동'), "
                       "('kim', '김담당')")));
}

void JournalTriggersTest::everyStatementOfTheProgramIsJournalled_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("apostrophes") << QStringLiteral("it's '' ' 끝'");
    QTest::newRow("backslashes") << QStringLiteral("C:\\temp\\' \\\\ \\n");
    QTest::newRow("CP949 extension syllables") << QStringLiteral("똠방각하 똠똠");
    QTest::newRow("4,000 characters") << repeated(QStringLiteral("가a'\\"), 4000);
    QTest::newRow("longest request text") << repeated(QStringLiteral("똠"), 32767);
    QTest::newRow("statement-like") << QStringLiteral("'); DROP TABLE asjournal_entry; -- \" ` $$ END");
}

void JournalTriggersTest::everyStatementOfTheProgramIsJournalled()
{
    QFETCH(QString, text);
    MsgRecorder msgs;
    QVERIFY(m_env.connect(kDb));
    gDB[0]->setSessionUser(QStringLiteral("kim"));
    TestDb db;

    // The editor: a new record with its first company, then a change of every field.
    RecordValues v = hostileRecord(text);
    QCOMPARE(ExecSQL(InsertRecordSql(v)), 1L);
    const long seq = GetInsertId();
    QCOMPARE(ExecSQL(InsertFirstCompanySql(QStringLiteral("kim"), text.left(50), QStringLiteral("2026-12-01"),
                                           seq)),
             1L);
    const long cseq = GetInsertId();
    v.status = QStringLiteral("단기예정(1~2주이내)");
    v.solution = text;
    v.shots[6] = v.shots[1];
    v.ansId = QStringLiteral("kim");
    QCOMPARE(ExecSQL(UpdateRecordSql(v, seq)), 1L);
    QCOMPARE(ExecSQL(UpdateCompanyNameSql(text.left(49) + QStringLiteral("x"), cseq)), 1L);
    // The companies window.
    QCOMPARE(ExecSQL(InsertCompanySql(QStringLiteral("kim"), QStringLiteral("(주)한빛상사"),
                                      QStringLiteral("d"), text.left(100), seq)),
             1L);
    const long added = GetInsertId();
    QCOMPARE(ExecSQL(UpdateCompanySql(QStringLiteral("(주)한빛상사'"), text.left(100), added)), 1L);
    QCOMPARE(ExecSQL(DeleteCompanySql(added)), 1L);
    // The import: two records and their companies.
    const ImportRecordRow row{1, text.left(50), text.left(100), text};
    QCOMPARE(ExecSQL(ListInsertSql({row, row}, QStringLiteral("kim"), QStringLiteral("2026-12-01 10:00:00"))),
             2L);
    const long first = GetInsertId();
    QCOMPARE(ExecSQL(CompanyInsertSql(first, 2, QStringLiteral("kim"), QStringLiteral("2026-12-01"))), 2L);
    // The main window's delete.
    QCOMPARE(ExecSQL(DeleteRecordCompaniesSql(first)), 1L);
    QCOMPARE(ExecSQL(DeleteRecordSql(first)), 1L);
    QCOMPARE(msgs.count(), 0);

    QCOMPARE(journalKinds(db, seq), QStringLiteral("1|title|kim,4|comname|kim,2|sshot7|kim,2|user_a|kim,"
                                                   "2|solution|kim,2|status|kim,5|comname|kim,4|comname|kim,"
                                                   "5|comname|kim,6|comname|kim"));
    QCOMPARE(journalKinds(db, first), QStringLiteral("1|title|kim,4|comname|kim,6|comname|kim,3|title|kim"));
    QCOMPARE(journalKinds(db, first + 1), QStringLiteral("1|title|kim,4|comname|kim"));
    // Values are kept whole, byte for byte.
    QCOMPARE(
        db.value(QStringLiteral("SELECT COUNT(*) FROM t_journal.asjournal_entry j JOIN t_journal.aslist a "
                                "ON a.seq = j.ascode WHERE j.ascode = %1 AND j.field = 'solution' AND "
                                "BINARY j.newval = BINARY a.solution AND j.oldval = ''")
                     .arg(seq)),
        QStringLiteral("1"));
}

void JournalTriggersTest::anOlderClientIsUnknown()
{
    TestDb old;
    QVERIFY(old.exec(QStringLiteral(
        "INSERT INTO t_journal.aslist (appcode, title, status) VALUES (1, 'old', '요청대기')")));
    const QString seq = old.value(QStringLiteral("SELECT MAX(seq) FROM t_journal.aslist"));
    QCOMPARE(journalKinds(old, seq.toLong()), QStringLiteral("1|title|"));
    JournalEntry e;
    QCOMPARE(JournalActor(e), QStringLiteral("알 수 없음"));
}

void JournalTriggersTest::onlyCommittedSavesAreJournalled_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("rolled back") << false;
    QTest::newRow("client killed mid-save") << true;
}

void JournalTriggersTest::onlyCommittedSavesAreJournalled()
{
    QFETCH(bool, killed);
    MsgRecorder msgs;
    QVERIFY(m_env.connect(kDb));
    gDB[0]->setSessionUser(QStringLiteral("hqt"));
    QCOMPARE(ExecSQL(InsertRecordSql(hostileRecord(QStringLiteral("저장")))), 1L);
    const long seq = GetInsertId();
    TestDb db;
    const QString before = journalKinds(db, seq);
    ExecSQL(QStringLiteral("START TRANSACTION"));
    QCOMPARE(ExecSQL(QStringLiteral("UPDATE aslist SET status = '배포완료' WHERE seq = %1").arg(seq)), 1L);
    if (killed)
        QVERIFY(db.exec(QStringLiteral("KILL %1").arg(gDB[0]->thread_id())));
    else
        ExecSQL(QStringLiteral("ROLLBACK"));
    QTRY_COMPARE(db.value(QStringLiteral("SELECT status FROM t_journal.aslist WHERE seq = %1").arg(seq)),
                 QStringLiteral("요청대기"));
    QCOMPARE(journalKinds(db, seq), before);
}

void JournalTriggersTest::aBrokenJournalNeverFailsAWrite()
{
    MsgRecorder msgs;
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("RENAME TABLE t_journal.asjournal_entry TO t_journal.asjournal_away")));
    QVERIFY(m_env.connect(kDb));
    gDB[0]->setSessionUser(repeated(QStringLiteral("긴아이디'"), 40));
    QCOMPARE(ExecSQL(InsertRecordSql(hostileRecord(QStringLiteral("x")))), 1L);
    const long seq = GetInsertId();
    QCOMPARE(ExecSQL(QStringLiteral("UPDATE aslist SET status = '배포완료' WHERE seq = %1").arg(seq)), 1L);
    QCOMPARE(ExecSQL(DeleteRecordSql(seq)), 1L);
    QVERIFY(db.exec(QStringLiteral("RENAME TABLE t_journal.asjournal_away TO t_journal.asjournal_entry")));
    QCOMPARE(msgs.count(), 0);
}

void JournalTriggersTest::theHistoryIsNewestFirstWithNames()
{
    MsgRecorder msgs;
    QVERIFY(m_env.connect(kDb));
    gDB[0]->setSessionUser(QStringLiteral("hqt"));
    QCOMPARE(GetValue(JournalPresentSql()), QStringLiteral("1"));
    QCOMPARE(ExecSQL(InsertRecordSql(hostileRecord(QStringLiteral("이력")))), 1L);
    const long seq = GetInsertId();
    gDB[0]->setSessionUser(QStringLiteral("kim"));
    QCOMPARE(
        ExecSQL(QStringLiteral("UPDATE aslist SET status = '단기예정(1~2주이내)' WHERE seq = %1").arg(seq)),
        1L);
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, HistorySql(seq)), 2L);
    QStringList lines;
    for (; !rs->Eof(); rs->MoveNext()) {
        const JournalEntry e = JournalEntryFromRow(*rs);
        lines << JournalActor(e) + QLatin1Char(' ') + ChangeText(e);
    }
    QCOMPARE(lines, (QStringList{QStringLiteral("김담당 상태: 요청대기 → 단기예정(1~2주이내)"),
                                 QStringLiteral("홍길동 요청 등록: 이력")}));
    // The same in the history window.
    FrmHistory form(seq);
    QCOMPARE(form.lstHistory->topLevelItemCount(), 2);
    QCOMPARE(form.lstHistory->topLevelItem(0)->text(1), QStringLiteral("김담당"));
    QCOMPARE(form.lstHistory->topLevelItem(1)->text(2), QStringLiteral("요청 등록: 이력"));
}

void JournalTriggersTest::theUpgradeRunsTwiceOnADatabaseWithData()
{
    const QString name = QStringLiteral("t_journal_upgrade");
    QFile schemaFile(qEnvironmentVariable("AS_SOURCE_DIR") + QStringLiteral("/data/schema.sql"));
    QVERIFY(schemaFile.open(QIODevice::ReadOnly));
    const QString schema = QString::fromUtf8(schemaFile.readAll());
    const qsizetype journal = schema.indexOf(QStringLiteral("-- Change journal"));
    QVERIFY(journal > 0);
    // A database of the original five tables, with data.
    TestDb db;
    QVERIFY(db.exec(
        QStringLiteral("DROP DATABASE IF EXISTS %1; CREATE DATABASE %1 DEFAULT CHARSET euckr; USE %1;")
            .arg(name) +
        schema.left(journal)));
    QVERIFY(db.exec(
        QStringLiteral("INSERT INTO %1.aslist (title, status) VALUES ('기존', '요청대기')").arg(name)));
    MsgRecorder msgs;
    QVERIFY(m_env.connect(name));
    QVERIFY(!JournalPresent());
    const QString upgrade =
        qEnvironmentVariable("AS_SOURCE_DIR") + QStringLiteral("/data/upgrade/002-journal.sql");
    QVERIFY(runClient(name, upgrade));
    QVERIFY(runClient(name, upgrade));
    QVERIFY(JournalPresent());
    QCOMPARE(db.value(QStringLiteral(
                          "SELECT COUNT(*) FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = '%1' "
                          "AND TRIGGER_NAME LIKE 'asjournal\\_%'")
                          .arg(name)),
             QStringLiteral("6"));
    QVERIFY(db.exec(QStringLiteral("UPDATE %1.aslist SET status = '배포완료'").arg(name)));
    QCOMPARE(db.rows(QStringLiteral(
                         "SELECT a.title, j.oldval, j.newval FROM %1.aslist a JOIN %1.asjournal_entry j "
                         "ON j.ascode = a.seq")
                         .arg(name)),
             QStringList{QStringLiteral("기존|요청대기|배포완료")});
    QCOMPARE(msgs.count(), 0);
    CloseDB();
    QCOMPARE(msgs.count(), 0);
    CloseDB();
    QVERIFY(db.exec(QStringLiteral("DROP DATABASE %1").arg(name)));
}

QTEST_MAIN(JournalTriggersTest)
#include "tst_journaltriggers.moc"
