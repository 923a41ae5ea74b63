#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Globals.h"
#include "common/SettingsStore.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "db/SqlLog.h"

#include <QtTest>

namespace {

QStringList linesOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    lines.removeAll(QString());
    return lines;
}

void touch(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("x");
}

} // namespace

class SqlLogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void encoding_data();
    void encoding();
    void linesDecodeBackToStatementAndResult();
    void writersRouteByLevelAndThreshold_data();
    void writersRouteByLevelAndThreshold();
    void queryFunctionsLogWhatTheyRan();
    void firstStartOfTheDayClearsLastMonthsFiles();
    void anotherUsersFirstStartKeepsTodaysLogs();
    void unwritableLogNeverStopsAStatement();

private:
    QString logDir() const { return m_env.path(QStringLiteral("log")); }
    TestEnv m_env;
};

void SqlLogTest::init()
{
    QDir(logDir()).removeRecursively();
    QDir().mkpath(logDir());
    SetSQLLogPaths(logDir(), QDate(2026, 12, 7));
    gSQLSlowTime = 3;
    gSQLLogLevel = 0;
}

void SqlLogTest::encoding_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("letter") << QStringLiteral("A") << QStringLiteral("0041");
    QTest::newRow("tab") << QStringLiteral("\t") << QStringLiteral("0900");
    QTest::newRow("hangul") << QStringLiteral("가") << QStringLiteral("00AC");
    QTest::newRow("mixed") << QStringLiteral("A\t가") << QStringLiteral("0041090000AC");
    // A three-digit code shifts the grouping of everything after it.
    QTest::newRow("three digits") << QStringLiteral("A") + QChar(0x101) + QStringLiteral("B")
                                  << QStringLiteral("00411410020");
}

void SqlLogTest::encoding()
{
    QFETCH(QString, line);
    QFETCH(QString, encoded);
    QCOMPARE(HexEncodeLogLine(line), encoded);
}

void SqlLogTest::linesDecodeBackToStatementAndResult()
{
    const QString sql = QStringLiteral("SELECT name FROM user WHERE id = '홍길동'");
    const QString line =
        BuildSQLLogLine(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)), sql, QStringLiteral("관리자"), 0.015);
    QCOMPARE(line, QStringLiteral("261207090503\t0.015\t") + sql + QStringLiteral(";\t -> 관리자"));
    QCOMPARE(HexDecodeLogLine(HexEncodeLogLine(line)), line);
}

void SqlLogTest::writersRouteByLevelAndThreshold_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("exec"); // ExecSQL's writer, else GetValue's
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("daily");
    QTest::addColumn<int>("full");
    QTest::addColumn<int>("slow");
    QTest::newRow("level 0, 2.5 s") << 0 << true << 2.5 << 0 << 0 << 0;
    QTest::newRow("level 0, 3.0 s") << 0 << true << 3.0 << 0 << 0 << 1;
    QTest::newRow("level 1 write, fast") << 1 << true << 0.1 << 1 << 0 << 0;
    QTest::newRow("level 1 write, slow") << 1 << true << 3.0 << 1 << 0 << 1;
    QTest::newRow("level 1 read, fast") << 1 << false << 0.1 << 0 << 0 << 0;
    QTest::newRow("level 1 read, slow") << 1 << false << 4.0 << 0 << 0 << 1;
    QTest::newRow("level 2 write, slow") << 2 << true << 3.0 << 1 << 1 << 1;
    QTest::newRow("level 2 read, fast") << 2 << false << 0.0 << 0 << 1 << 0;
}

void SqlLogTest::writersRouteByLevelAndThreshold()
{
    QFETCH(int, level);
    QFETCH(bool, exec);
    QFETCH(double, seconds);
    QFETCH(int, daily);
    QFETCH(int, full);
    QFETCH(int, slow);
    gSQLLogLevel = int16_t(level);
    if (exec)
        WriteSQLLog(QStringLiteral("UPDATE t SET a = 1"), QStringLiteral("1"), seconds);
    else
        WriteSQLLogFull(QStringLiteral("SELECT 1"), QStringLiteral("1"), seconds, false);
    const QString fullFile =
        gSQLLogFullPrefix + QTime::currentTime().toString(QStringLiteral("HH")) + QStringLiteral(".dat");
    const QStringList d = linesOf(gSQLLogFile), f = linesOf(fullFile), s = linesOf(gSQLLogSlowFile);
    QCOMPARE(d.size(), daily);
    QCOMPARE(f.size(), full);
    QCOMPARE(s.size(), slow);
    // One statement is one identical line in every file it reaches.
    QStringList all = d + f + s;
    all.removeDuplicates();
    QVERIFY(all.size() <= 1);
}

void SqlLogTest::queryFunctionsLogWhatTheyRan()
{
    QVERIFY(m_env.createDatabase(QStringLiteral("t_sqllog")));
    QVERIFY(m_env.connect(QStringLiteral("t_sqllog")));
    SetSQLLogPaths(logDir(), QDate::currentDate());
    gSQLLogLevel = 2;
    QCOMPARE(GetValue(QStringLiteral("SELECT name FROM part WHERE code = 99")), QString());
    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO part (code, name) VALUES (5, '오')")), 1L);
    GetInsertId();
    const QString fullFile =
        gSQLLogFullPrefix + QTime::currentTime().toString(QStringLiteral("HH")) + QStringLiteral(".dat");
    const QStringList full = linesOf(fullFile);
    QCOMPARE(full.size(), 3);
    const QStringList first = HexDecodeLogLine(full[0]).split(QLatin1Char('\t'));
    QCOMPARE(first.size(), 4);
    QCOMPARE(first[2], QStringLiteral("SELECT name FROM part WHERE code = 99;"));
    QCOMPARE(first[3], QStringLiteral(" -> "));
    QCOMPARE(HexDecodeLogLine(full[1]).section(QLatin1Char('\t'), 2),
             QStringLiteral("INSERT INTO part (code, name) VALUES (5, '오');\t -> 1"));
    QCOMPARE(HexDecodeLogLine(full[2]).section(QLatin1Char('\t'), 2, 2), QStringLiteral("insert_id();"));
    QCOMPARE(linesOf(gSQLLogFile), full.mid(1));
    CloseDB();
}

void SqlLogTest::firstStartOfTheDayClearsLastMonthsFiles()
{
    const QDate seventh(2026, 12, 7);
    const QString mark = SQLLogCleanMarkPath(logDir());
    for (const char* name : {"SQLLog_07.dat", "SQLLog_07_slow.dat", "SQLLog_07_full_09.dat", "SQLLog_06.dat",
                             "SQLLog_06_full_09.dat", "SQLLog_17.dat"})
        touch(logDir() + QLatin1Char('/') + QLatin1String(name));
    QVERIFY(WriteFileBytes(mark, "2026-12-06"));
    PrepareSQLLog(logDir(), seventh);
    QCOMPARE(QDir(logDir()).entryList(QDir::Files),
             (QStringList{"SQLLog_06.dat", "SQLLog_06_full_09.dat", "SQLLog_17.dat", "SQLLogLast.txt"}));
    QCOMPARE(ReadFileBytes(mark), QByteArray("2026-12-07"));

    // A second start on the same day deletes nothing.
    touch(logDir() + QStringLiteral("/SQLLog_07.dat"));
    PrepareSQLLog(logDir(), seventh);
    QVERIFY(QFile::exists(logDir() + QStringLiteral("/SQLLog_07.dat")));

    // The first start on a machine creates the folder and deletes nothing.
    QDir(logDir()).removeRecursively();
    SaveSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("SQLSlowTime"), QStringLiteral("0.5"));
    PrepareSQLLog(logDir(), seventh);
    QVERIFY(QDir(logDir()).exists());
    QCOMPARE(gSQLSlowTime, 0.5);
    QCOMPARE(ReadFileBytes(mark), QByteArray("2026-12-07"));
    DeleteSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("SQLSlowTime"));
}

// The log folder beside the program is shared by its users: one user's first start of
// the day keeps what the others logged that day.
void SqlLogTest::anotherUsersFirstStartKeepsTodaysLogs()
{
    const QDate seventh(2026, 12, 7);
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    PrepareSQLLog(logDir(), seventh);
    touch(gSQLLogFile);
    touch(gSQLLogSlowFile);
    QTemporaryDir otherHome;
    qputenv("XDG_CONFIG_HOME", otherHome.path().toUtf8());
    PrepareSQLLog(logDir(), seventh);
    qputenv("XDG_CONFIG_HOME", home);
    QVERIFY(QFile::exists(gSQLLogFile));
    QVERIFY(QFile::exists(gSQLLogSlowFile));
}

void SqlLogTest::unwritableLogNeverStopsAStatement()
{
    QVERIFY(m_env.createDatabase(QStringLiteral("t_sqllog")));
    QVERIFY(m_env.connect(QStringLiteral("t_sqllog")));
    // A file where the log folder should be: nothing can be written there.
    QDir(logDir()).removeRecursively();
    touch(logDir());
    MsgRecorder msgs;
    PrepareSQLLog(logDir(), QDate::currentDate());
    QCOMPARE(msgs.count(), 1);
    QVERIFY(msgs.last().text.startsWith(QStringLiteral("SQL 로그 폴더를 만들 수 없습니다.")));
    gSQLLogLevel = 2;
    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO part (code, name) VALUES (6, 'a')")), 1L);
    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO part (code, name) VALUES (7, 'b')")), 1L);
    QCOMPARE(GetValue(QStringLiteral("SELECT COUNT(*) FROM part WHERE code IN (6, 7)")), QStringLiteral("2"));
    // The write failure is told once, not per statement.
    QCOMPARE(msgs.count(), 2);
    QVERIFY(msgs.last().text.startsWith(QStringLiteral("SQL 로그 파일을 기록할 수 없습니다.")));
    QFile::remove(logDir());
    CloseDB();
}

QTEST_MAIN(SqlLogTest)
#include "tst_sqllog.moc"
