#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/Globals.h"
#include "common/ProfileIni.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/MySql.h"

#include <QtTest>

namespace {
const QString kDb = QStringLiteral("t_connection");
const QString kUser = QString::fromLatin1(kDbUser);
const QString kPass = QString::fromLatin1(kDbPassword);
} // namespace

class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hangulRoundTripsThroughTheStartupConnection();
    void threadIdIsRecordedInConfigIni();
    void charsetCheckSendsNothingWithoutACharset();
    void sameNamedColumnsTakeTheirTableNames();
    void valuesReadAsText();
    void updateThatChangesNothingReportsZero();
    void connectionFailuresAreReported_data();
    void connectionFailuresAreReported();
    void statementFailureShowsErrorOnceAndGivesNoRows();
    void queriesOnAnUnconnectedObjectFailCleanly();

private:
    TestEnv m_env;
    TestDb m_admin;
};

void ConnectionTest::initTestCase()
{
    QVERIFY2(m_admin.ok(), qPrintable(m_admin.error()));
    QVERIFY2(m_env.createDatabase(kDb), qPrintable(m_admin.error()));
}

void ConnectionTest::hangulRoundTripsThroughTheStartupConnection()
{
    MsgRecorder msgs;
    QVERIFY(m_env.connect(kDb));
    const QString text = QStringLiteral("똠방각하 가나다 'quote' \\ 끝");
    QVERIFY(gDB[0]->query(QStringLiteral("INSERT INTO part (code, name) VALUES (901, '%1')")
                              .arg(QString(text)
                                       .replace(QStringLiteral("\\"), QStringLiteral("\\\\"))
                                       .replace(QStringLiteral("'"), QStringLiteral("''")))) == nullptr);
    QCOMPARE(gDB[0]->affected_rows(), 1L);
    RecordSetPtr rs = gDB[0]->query(QStringLiteral("SELECT name FROM part WHERE code = 901"));
    QVERIFY(rs);
    QCOMPARE(rs->Field(QStringLiteral("name")), text);
    // The server holds EUC-KR bytes, not mangled text.
    QCOMPARE(
        m_admin.value(QStringLiteral("SELECT HEX(name) FROM t_connection.part WHERE code = 901")).left(8),
        QStringLiteral("8C63B9E6"));
    QCOMPARE(msgs.count(), 0);
    CloseDB();
}

void ConnectionTest::threadIdIsRecordedInConfigIni()
{
    const QString ini = m_env.path(QStringLiteral("config.ini"));
    QFile::remove(ini);
    cMySQL first;
    QVERIFY(first.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port(), {}, 0, false, {}));
    const QString firstId = QString::number(first.thread_id());
    QCOMPARE(profile::ReadString(ini, QStringLiteral("LPID"), kUser), firstId);
    QCOMPARE(profile::ReadString(ini, QStringLiteral("LPID2"), kUser, QStringLiteral("missing")), QString());

    cMySQL second;
    QVERIFY(second.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port(), {}, 0, false, {}));
    QCOMPARE(profile::ReadString(ini, QStringLiteral("LPID"), kUser), QString::number(second.thread_id()));
    QCOMPARE(profile::ReadString(ini, QStringLiteral("LPID2"), kUser), firstId);
}

void ConnectionTest::charsetCheckSendsNothingWithoutACharset()
{
    QVERIFY(m_admin.exec(QStringLiteral("SET GLOBAL general_log = 0; TRUNCATE mysql.general_log; "
                                        "SET GLOBAL log_output = 'TABLE'; SET GLOBAL general_log = 1;")));
    unsigned long plainId = 0, withCharsetId = 0;
    {
        cMySQL plain;
        QVERIFY(plain.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port(), {}, 0, false, {}));
        plainId = plain.thread_id();
        cMySQL withCharset;
        QVERIFY(withCharset.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port(), {}, 0, false,
                                         QStringLiteral("euckr")));
        withCharsetId = withCharset.thread_id();
    }
    QVERIFY(m_admin.exec(QStringLiteral("SET GLOBAL general_log = 0;")));
    auto statements = [this](unsigned long id) {
        return m_admin.rows(QStringLiteral("SELECT CONVERT(argument USING utf8) FROM mysql.general_log WHERE "
                                           "thread_id = %1 AND command_type = 'Query' ORDER BY event_time")
                                .arg(id));
    };
    QCOMPARE(statements(plainId), QStringList());
    // A 10.x server gets the version question only: no set names.
    QCOMPARE(statements(withCharsetId), QStringList{QStringLiteral("SHOW VARIABLES LIKE 'version'")});
}

void ConnectionTest::sameNamedColumnsTakeTheirTableNames()
{
    QVERIFY(m_admin.exec(QStringLiteral("USE t_connection; DELETE FROM aslist; DELETE FROM ascomp;"
                                        "INSERT INTO aslist (seq, title) VALUES (7, 'x');"
                                        "INSERT INTO ascomp (seq, comname, ascode) VALUES (70, 'c', 7);")));
    cMySQL db;
    QVERIFY(db.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port()));
    RecordSetPtr rs =
        db.query(QStringLiteral("SELECT a.seq, a.title, b.seq, b.comname, 1 AS seq FROM aslist AS a "
                                "JOIN ascomp AS b ON b.ascode = a.seq"));
    QVERIFY(rs);
    QStringList names;
    for (int i = 0; i < rs->FieldCount(); ++i)
        names << rs->FieldName(i);
    // A third column of the name finds no bare column left and keeps the bare name.
    QCOMPARE(names, (QStringList{"a.seq", "title", "b.seq", "comname", "seq"}));
    QCOMPARE(rs->Field(QStringLiteral("a.seq")), QStringLiteral("7"));
    QCOMPARE(rs->Field(QStringLiteral("B.SEQ")), QStringLiteral("70"));
    QCOMPARE(rs->Field(QStringLiteral("seq")), QStringLiteral("1"));
}

void ConnectionTest::valuesReadAsText()
{
    cMySQL db;
    QVERIFY(db.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port()));
    RecordSetPtr rs =
        db.query(QStringLiteral("SELECT NULL AS n, 42 AS num, 'abc   ' AS padded, '  lead' AS lead, "
                                "CONCAT('a', CHAR(0), 'b') AS nul UNION ALL SELECT 'x', 1, 'y', 'z', 'w'"));
    QVERIFY(rs);
    QCOMPARE(rs->RecordCount(), 2);
    QCOMPARE(rs->Field(QStringLiteral("n")), QString());
    QCOMPARE(rs->Field(1), QStringLiteral("42"));
    QCOMPARE(rs->Field(QStringLiteral("padded")), QStringLiteral("abc"));
    QCOMPARE(rs->Field(QStringLiteral("lead")), QStringLiteral("  lead"));
    QCOMPARE(rs->Field(QStringLiteral("nul")), QStringLiteral("a"));
    QCOMPARE(rs->Field(QStringLiteral("no such column")), QString());
    rs->MoveNext();
    QVERIFY(!rs->Eof());
    QCOMPARE(rs->Field(0), QStringLiteral("x"));
    rs->MoveNext();
    QVERIFY(rs->Eof());
    QCOMPARE(rs->Field(0), QString());
}

void ConnectionTest::updateThatChangesNothingReportsZero()
{
    cMySQL db;
    QVERIFY(db.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port()));
    db.query(QStringLiteral("UPDATE aslist SET title = 'x' WHERE seq = 7"));
    QCOMPARE(db.affected_rows(), 0L);
    db.query(QStringLiteral("UPDATE aslist SET title = 'y' WHERE seq = 7"));
    QCOMPARE(db.affected_rows(), 1L);
}

void ConnectionTest::connectionFailuresAreReported_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("longMessage");
    QTest::newRow("wrong password") << QStringLiteral("wrong") << TestDb::port() << false;
    QTest::newRow("no server on the port") << kPass << 1 << true;
}

void ConnectionTest::connectionFailuresAreReported()
{
    QFETCH(QString, password);
    QFETCH(int, port);
    QFETCH(bool, longMessage);
    const QString ini = m_env.path(QStringLiteral("config.ini"));
    QFile::remove(ini);
    MsgRecorder msgs;
    cMySQL db;
    QVERIFY(!db.real_connect(TestDb::host(), kUser, password, kDb, port));
    QCOMPARE(msgs.count(), 1);
    const QString text = msgs.last().text;
    QVERIFY2(text.startsWith(QStringLiteral("Error %1 (").arg(db.lastError().number)), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("\r\n\r\n데이터베이스 서버에 접속할 수 없습니다.")));
    QCOMPARE(text.contains(QStringLiteral("인터넷이 연결되어 있는지 확인 해 주세요.")), longMessage);
    QVERIFY(!QFile::exists(ini));

    // NoErrMsg keeps the failure quiet.
    cMySQL quiet;
    QVERIFY(!quiet.real_connect(TestDb::host(), kUser, password, kDb, port, {}, 0, true));
    QCOMPARE(msgs.count(), 1);
}

void ConnectionTest::statementFailureShowsErrorOnceAndGivesNoRows()
{
    MsgRecorder msgs;
    cMySQL db;
    QVERIFY(db.real_connect(TestDb::host(), kUser, kPass, kDb, TestDb::port()));
    QVERIFY(!db.query(QStringLiteral("SELEC broken")));
    QCOMPARE(msgs.count(), 1);
    QVERIFY(msgs.last().text.startsWith(QStringLiteral("Error 1064 (You have an error in your SQL syntax")));
    QCOMPARE(msgs.last().title, gAppTitle);
    QVERIFY(!db.query(QStringLiteral("SELEC broken"), true));
    QCOMPARE(msgs.count(), 1);
    QCOMPARE(db.lastError().source, QStringLiteral("cMysql::query"));
}

void ConnectionTest::queriesOnAnUnconnectedObjectFailCleanly()
{
    MsgRecorder msgs;
    cMySQL db;
    QVERIFY(!db.query(QStringLiteral("SELECT 1"), true));
    QVERIFY(db.lastError().number != 0);
    QCOMPARE(db.thread_id(), 0UL);
    QCOMPARE(db.lastError().source, QStringLiteral("cMysql::thread_id"));
    QVERIFY(!db.ping());
    QCOMPARE(msgs.count(), 0);
}

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
