#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/Globals.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "platform/SingleInstance.h"
#include "records/ProgramLists.h"
#include "shell/modMain.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QtTest>

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneInstancePerApplicationFolder();
    void lockOfAVanishedProcessIsTakenOver();
    void checkLoginCopiesTheUser();
    void checkLoginRefusesBadRows();
    void userNameById_data();
    void userNameById();
    void closeDBWithoutConnectionsIsHarmless();

private:
    TestEnv m_env;
};

void StartupTest::initTestCase()
{
    QVERIFY(m_env.createDatabase(QStringLiteral("t_startup")));
    QVERIFY(TestDb().exec(QStringLiteral("INSERT INTO t_startup.user (id, name, password, groupcode) VALUES "
                                         "('hqt', '홍규태', 'pw', 3), ('bad', '그룹오류', 'pw', 0)")));
    QVERIFY(m_env.connect(QStringLiteral("t_startup")));
}

void StartupTest::oneInstancePerApplicationFolder()
{
    QTemporaryDir a, b;
    {
        SingleInstance first(a.path());
        QVERIFY(first.acquire());
        QVERIFY(first.acquire()); // asking again keeps it
        SingleInstance second(a.path());
        QVERIFY(!second.acquire());
        SingleInstance elsewhere(b.path());
        QVERIFY(elsewhere.acquire());
    }
    SingleInstance again(a.path());
    QVERIFY(again.acquire());
}

void StartupTest::lockOfAVanishedProcessIsTakenOver()
{
    QTemporaryDir dir;
    QString lockPath;
    {
        SingleInstance probe(dir.path());
        lockPath = probe.lockPath();
    }
    // A process that has ended leaves its lock file behind.
    QProcess gone;
    gone.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid) + "\nasmanager\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    SingleInstance next(dir.path());
    QVERIFY(next.acquire());
}

void StartupTest::checkLoginCopiesTheUser()
{
    RecordSetPtr rs;
    OpenRecordset(rs, QStringLiteral("SELECT id, name, groupcode FROM user WHERE id = 'hqt'"));
    QVERIFY(CheckLogin(rs.get()));
    QCOMPARE(gUserId, QStringLiteral("hqt"));
    QCOMPARE(gUserName, QStringLiteral("홍규태"));
    QCOMPARE(gGroupCode, int16_t(3));
}

void StartupTest::checkLoginRefusesBadRows()
{
    MsgRecorder msgs;
    RecordSetPtr rs;
    OpenRecordset(rs, QStringLiteral("SELECT id, name, 'x' AS groupcode FROM user WHERE id = 'bad'"));
    QVERIFY(!CheckLogin(rs.get()));
    QVERIFY(!CheckLogin(nullptr));
    QCOMPARE(msgs.count(), 2);
    QCOMPARE(msgs.prompts()[0].text,
             QStringLiteral("Error 13 (Type mismatch) in procedure CheckLogin of Module modMain"));
    QVERIFY(msgs.prompts()[1].text.startsWith(QStringLiteral("Error 3021 (")));
    QCOMPARE(msgs.last().title, gAppTitle);
}

void StartupTest::userNameById_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("known") << QStringLiteral("hqt") << QStringLiteral("홍규태");
    QTest::newRow("unknown") << QStringLiteral("nobody") << QString();
    QTest::newRow("apostrophe") << QStringLiteral("o'neil") << QString();
}

void StartupTest::userNameById()
{
    QFETCH(QString, id);
    QFETCH(QString, name);
    MsgRecorder msgs;
    QCOMPARE(GetUserNameById(id), name);
    QCOMPARE(msgs.count(), 0);
}

void StartupTest::closeDBWithoutConnectionsIsHarmless()
{
    CloseDB();
    CloseDB();
    QVERIFY(!gDB[0] && !gDB[1]);
    QCOMPARE(GetUserNameById(QStringLiteral("hqt")), QString());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
