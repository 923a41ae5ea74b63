#include "MsgRecorder.h"
#include "TestEnv.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/Query.h"

#include <QtTest>

namespace {
const QString kDb = QStringLiteral("t_query");
}

class QueryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { CloseDB(); }
    void escapeSQL_data();
    void escapeSQL();
    void escapedTextRoundTrips();
    void readsGoToTheSecondServerAndWritesToTheFirst();
    void readsStayOnTheFirstWhenTheSecondCannotConnect();
    void failedStatementsGiveEmptyResults();
    void noConnectionObjectMeansEmptyResultsAndNoPrompt();

private:
    TestEnv m_env;
};

void QueryTest::initTestCase()
{
    QVERIFY(m_env.createDatabase(kDb));
    QVERIFY(TestDb(1).exec(QStringLiteral("INSERT INTO t_query.part (code, name) VALUES (1, '본서버')")));
    QVERIFY(TestDb(2).exec(QStringLiteral("INSERT INTO t_query.part (code, name) VALUES (1, '읽기서버')")));
}

void QueryTest::escapeSQL_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << QStringLiteral("가나 abc") << QStringLiteral("가나 abc");
    QTest::newRow("apostrophe") << QStringLiteral("it's") << QStringLiteral("it''s");
    QTest::newRow("backslash") << QStringLiteral("C:\\temp") << QStringLiteral("C:\\\\temp");
    QTest::newRow("backslash before apostrophe") << QStringLiteral("\\'") << QStringLiteral("\\\\''");
    QTest::newRow("embedded NUL") << QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")
                                  << QStringLiteral("ab");
}

void QueryTest::escapeSQL()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(EscapeSQL(text), escaped);
}

void QueryTest::escapedTextRoundTrips()
{
    QVERIFY(m_env.connect(kDb));
    const QString nasty = QStringLiteral("a'b\\c'' \\' 똠");
    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO part (code, name) VALUES (2, '%1')").arg(EscapeSQL(nasty))),
             1L);
    QCOMPARE(GetValue(QStringLiteral("SELECT name FROM part WHERE code = 2")), nasty);
    QCOMPARE(ExecSQL(QStringLiteral("DELETE FROM part WHERE code = 2")), 1L);
}

void QueryTest::readsGoToTheSecondServerAndWritesToTheFirst()
{
    MsgRecorder msgs;
    QVERIFY(m_env.connect(kDb, true));
    QCOMPARE(gDBIndex, int16_t(1));
    QCOMPARE(GetValue(QStringLiteral("SELECT name FROM part WHERE code = 1")), QStringLiteral("읽기서버"));
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, QStringLiteral("SELECT code, name FROM part")), 1L);
    QCOMPARE(rs->Field(QStringLiteral("name")), QStringLiteral("읽기서버"));
    CloseRecordset(rs);
    QVERIFY(!rs);

    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO aslist (title) VALUES ('쓰기')")), 1L);
    const long id = GetInsertId();
    QVERIFY(id > 0);
    QCOMPARE(TestDb(1).value(QStringLiteral("SELECT title FROM t_query.aslist WHERE seq = %1").arg(id)),
             QStringLiteral("쓰기"));
    QCOMPARE(TestDb(2).value(QStringLiteral("SELECT COUNT(*) FROM t_query.aslist")), QStringLiteral("0"));
    QCOMPARE(msgs.count(), 0);
}

void QueryTest::readsStayOnTheFirstWhenTheSecondCannotConnect()
{
    MsgRecorder msgs;
    const bool result = DBInit(TestDb::host(), QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword),
                               kDb, QStringLiteral("127.0.0.3"), 0, QStringLiteral("euckr"));
    QVERIFY(!result); // the result of the last connect
    QCOMPARE(msgs.count(), 1);
    QCOMPARE(gDBIndex, int16_t(0));
    QCOMPARE(GetValue(QStringLiteral("SELECT name FROM part WHERE code = 1")), QStringLiteral("본서버"));
}

void QueryTest::failedStatementsGiveEmptyResults()
{
    QVERIFY(m_env.connect(kDb));
    MsgRecorder msgs;
    QCOMPARE(GetValue(QStringLiteral("SELECT nothing FROM nowhere")), QString());
    RecordSetPtr rs = std::make_unique<RecordSet>();
    QVERIFY(OpenRecordset(rs, QStringLiteral("SELECT nothing FROM nowhere")) <= 0);
    QVERIFY(!rs);
    QCOMPARE(ExecSQL(QStringLiteral("UPDATE nowhere SET a = 1")), 0L);
    QCOMPARE(msgs.count(), 3);
    for (const QString& text : msgs.texts())
        QVERIFY2(text.startsWith(QStringLiteral("Error 1146 (")) && text.endsWith(QLatin1Char(')')),
                 qPrintable(text));

    // No row is not a failure: empty value, no prompt.
    QCOMPARE(GetValue(QStringLiteral("SELECT name FROM part WHERE code = -1")), QString());
    QCOMPARE(ExecSQL(QStringLiteral("UPDATE part SET name = 'x' WHERE code = -1")), 0L);
    QCOMPARE(msgs.count(), 3);
}

void QueryTest::noConnectionObjectMeansEmptyResultsAndNoPrompt()
{
    MsgRecorder msgs;
    CloseDB();
    RecordSetPtr rs;
    QCOMPARE(GetValue(QStringLiteral("SELECT 1")), QString());
    QCOMPARE(OpenRecordset(rs, QStringLiteral("SELECT 1")), 0L);
    QVERIFY(!rs);
    QCOMPARE(ExecSQL(QStringLiteral("DELETE FROM part")), 0L);
    QCOMPARE(GetInsertId(), 0L);
    QCOMPARE(msgs.count(), 0);
}

QTEST_MAIN(QueryTest)
#include "tst_query.moc"
