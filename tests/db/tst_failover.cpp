#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/ProfileIni.h"
#include "common/SiteConfig.h"
#include "db/BuiltinAccount.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <future>

namespace {

const QString kDb = QStringLiteral("t_failover");
const QString kRoot = qEnvironmentVariable("AS_TEST_ROOT") + QStringLiteral("/failover");
const int kPort = qEnvironmentVariableIntValue("AS_TEST_DB_EXTRA_PORT");

// A server of the test's own on the extra port, run by scripts/dbserver.sh.
struct Server
{
    QString dir, address;
    QStringList options;

    bool start() const
    {
        return QProcess::execute(QStringLiteral("bash"),
                                 QStringList{qEnvironmentVariable("AS_SOURCE_DIR") + "/scripts/dbserver.sh",
                                             "start", dir, QString::number(kPort), address,
                                             "--innodb-buffer-pool-size=32M"} +
                                     options) == 0;
    }
    pid_t pid() const
    {
        QFile f(dir + QStringLiteral("/mysqld.pid"));
        return f.open(QIODevice::ReadOnly) ? pid_t(f.readLine().trimmed().toLong()) : 0;
    }
    void signal(int sig) const { ::kill(pid(), sig); }
    // True once every thread of the server has stopped. kill() returns before that: the
    // stop reaches the other threads only when the first one to take it has run, and
    // until then a thread woken by a statement may still answer it.
    bool stopped() const
    {
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid()));
        const QStringList threads = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        return !threads.isEmpty() && std::all_of(threads.begin(), threads.end(), [&tasks](const QString& t) {
            QFile stat(tasks.filePath(t + QStringLiteral("/stat")));
            if (!stat.open(QIODevice::ReadOnly))
                return true; // the thread has ended
            const QByteArray line = stat.readAll();
            const qsizetype state = line.lastIndexOf(')') + 2;
            return state < line.size() && (line[state] == 'T' || line[state] == 't');
        });
    }
    // Ended as a crash or a power cut would end it.
    void crash() const
    {
        const pid_t p = pid();
        ::kill(p, SIGKILL);
        QTRY_VERIFY(::kill(p, 0) != 0);
    }
    TestDb admin() const { return TestDb(dir + QStringLiteral("/mysql.sock")); }
};

// The first server writes its binary log; the replica follows it by GTID, 3 s behind.
const Server kFirst{kRoot + "/first", "127.0.0.1", {"--log-bin=first-bin", "--server-id=1"}};
const Server kReplica{kRoot + "/replica", "127.0.0.2", {"--server-id=2", "--skip-slave-start"}};

void connectTo(bool withReplica)
{
    QVERIFY(DBInit(kFirst.address, QString::fromLatin1(kDbUser), QString::fromLatin1(kDbPassword), kDb,
                   withReplica ? kReplica.address : QString(), 0, QStringLiteral("euckr")));
    QCOMPARE(gDBIndex, int16_t(withReplica));
}

QString lpid(const char* section)
{
    return profile::ReadString(AppPath(QStringLiteral("config.ini")), QLatin1String(section),
                               QString::fromLatin1(kDbUser));
}

} // namespace

// Faults of the database servers under a running client: a replica behind the first
// server, a server that dies and comes back, one that stops answering.
class FailoverTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { CloseDB(); }
    void savedRecordIsListedAtOnceFromADelayedReplica();
    void lostConnectionFailsOnceAndTheNextStatementReconnects();
    void statementOnAServerThatStoppedAnsweringEndsAtTheTimeout();
    void readsGoBackToTheFirstWhenTheReplicaIsLost();

private:
    TestEnv m_env;
};

void FailoverTest::initTestCase()
{
    SiteConfig site = Site();
    site.dbPort = kPort;
    SetSiteForTesting(site);
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    qputenv("AS_DB_TEMPLATE", qgetenv("AS_TEST_ROOT") + "/dbtemplate");
    // Each server gets the tables and data of its own, outside the binary log.
    for (const Server* s : {&kFirst, &kReplica}) {
        QDir(s->dir).removeRecursively();
        QVERIFY(s->start());
        TestDb db = s->admin();
        QVERIFY2(db.exec(QStringLiteral("SET sql_log_bin = 0")) && db.createDatabase(kDb) &&
                     LoadListData(db, kDb),
                 qPrintable(db.error()));
    }
    QVERIFY(kFirst.admin().exec(QStringLiteral("RESET MASTER")));
    QVERIFY(
        kReplica.admin().exec(QStringLiteral("CHANGE MASTER TO MASTER_HOST = '127.0.0.1', MASTER_PORT = %1, "
                                             "MASTER_USER = '%2', MASTER_PASSWORD = '%3', "
                                             "MASTER_USE_GTID = slave_pos, MASTER_DELAY = 3; START SLAVE")
                                  .arg(kPort)
                                  .arg(QLatin1String(kDbUser), QLatin1String(kDbPassword))));
}

void FailoverTest::cleanupTestCase()
{
    for (const Server* s : {&kFirst, &kReplica}) {
        s->signal(SIGCONT);
        QProcess::execute(QStringLiteral("bash"),
                          {qEnvironmentVariable("AS_SOURCE_DIR") + "/scripts/dbserver.sh", "stop", s->dir});
    }
}

// The record editor's save of a new record, then its AddGridRows.
void FailoverTest::savedRecordIsListedAtOnceFromADelayedReplica()
{
    MsgRecorder msgs;
    connectTo(true);
    FrmMain main;
    main.Form_Load();
    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO aslist (appcode, title, user_q, qusdate) "
                                    "VALUES (1, '방금 저장한 요청', 'kim', '2026-12-01 09:00')")),
             1L);
    const long seq = GetInsertId();
    QCOMPARE(
        ExecSQL(
            QStringLiteral("INSERT INTO ascomp (user, comname, ascode) VALUES ('kim', 'a', %1)").arg(seq)),
        1L);
    gNewRecord = true;
    main.AddGridRows(seq);
    QCOMPARE(GridCell(main.spList, ListColSeq, 1), QString::number(seq));
    QCOMPARE(msgs.count(), 0);

    // The replica really is behind, and really follows.
    TestDb replica = kReplica.admin();
    const QString count = QStringLiteral("SELECT COUNT(*) FROM %1.aslist WHERE seq = %2").arg(kDb).arg(seq);
    QCOMPARE(replica.value(count), QStringLiteral("0"));
    const QString gtid = kFirst.admin().value(QStringLiteral("SELECT @@gtid_binlog_pos"));
    QCOMPARE(replica.value(QStringLiteral("SELECT MASTER_GTID_WAIT('%1', 30)").arg(gtid)),
             QStringLiteral("0"));
    QCOMPARE(replica.value(count), QStringLiteral("1"));
}

void FailoverTest::lostConnectionFailsOnceAndTheNextStatementReconnects()
{
    connectTo(false);
    const QString firstThread = lpid("LPID");
    kFirst.crash();
    MsgRecorder msgs;
    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO part (code, name) VALUES (701, '잃어버린')")), 0L);
    QVERIFY2(
        msgs.count() == 1 &&
            QRegularExpression(QStringLiteral("^Error 20(06|13) \\(")).match(msgs.last().text).hasMatch(),
        qPrintable(msgs.texts().join('\n')));

    QVERIFY(kFirst.start());
    QCOMPARE(ExecSQL(QStringLiteral("INSERT INTO part (code, name) VALUES (702, '다시 연결')")), 1L);
    QCOMPARE(GetValue(QStringLiteral("SELECT name FROM part WHERE code = 702")), QStringLiteral("다시 연결"));
    QCOMPARE(msgs.count(), 1);
    // The failed statement was not sent again on the new connection.
    QCOMPARE(kFirst.admin().value(QStringLiteral("SELECT COUNT(*) FROM %1.part WHERE code = 701").arg(kDb)),
             QStringLiteral("0"));
    QCOMPARE(lpid("LPID"), QString::number(gDB[0]->thread_id()));
    QCOMPARE(lpid("LPID2"), firstThread);
}

void FailoverTest::statementOnAServerThatStoppedAnsweringEndsAtTheTimeout()
{
    SetStatementTimeoutForTesting(1);
    connectTo(false);
    SetStatementTimeoutForTesting(60);
    kFirst.signal(SIGSTOP);
    QTRY_VERIFY_WITH_TIMEOUT(kFirst.stopped(), 10000);
    // Should the statement wait for ever, the server answers again after a while and
    // the checks below fail instead of the test hanging.
    std::promise<void> done;
    auto watchdog = std::async(std::launch::async, [&done] {
        done.get_future().wait_for(std::chrono::seconds(30));
        kFirst.signal(SIGCONT);
    });
    MsgRecorder msgs;
    const QString value = GetValue(QStringLiteral("SELECT 1"));
    done.set_value();
    watchdog.wait();
    QCOMPARE(value, QString());
    QCOMPARE(msgs.texts().value(0).left(12), QStringLiteral("Error 2013 ("));
    QCOMPARE(GetValue(QStringLiteral("SELECT 2")), QStringLiteral("2"));
    QCOMPARE(msgs.count(), 1);
}

void FailoverTest::readsGoBackToTheFirstWhenTheReplicaIsLost()
{
    connectTo(true);
    QCOMPARE(GetValue(QStringLiteral("SELECT @@server_id")), QStringLiteral("2"));
    kReplica.crash();
    MsgRecorder msgs;
    QCOMPARE(GetValue(QStringLiteral("SELECT @@server_id")), QString());
    QCOMPARE(GetValue(QStringLiteral("SELECT @@server_id")), QStringLiteral("1"));
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, QStringLiteral("SELECT @@server_id AS id")), 1L);
    QCOMPARE(rs->Field(QStringLiteral("id")), QStringLiteral("1"));
    QCOMPARE(msgs.count(), 1);
}

QTEST_MAIN(FailoverTest)
#include "tst_failover.moc"
