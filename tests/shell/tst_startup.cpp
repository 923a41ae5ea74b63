#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "platform/SingleInstance.h"
#include "records/ProgramLists.h"
#include "shell/modMain.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QtTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The start-up as the program runs it; its prompts go to stdout, one line each:
// "PROMPT " + the text in base64.
int runMainChild(const QString& appDir)
{
    SetAppDirForTesting(appDir);
    SetMsgResponder([](const MsgPrompt& p) {
        std::printf("PROMPT %s\n", p.text.toUtf8().toBase64().constData());
        std::fflush(stdout);
        return MsgAnswer{};
    });
    Main();
    return 0;
}

// Holds the lock of `appDir` until its input ends.
int runLockChild(const QString& appDir)
{
    SingleInstance lock(appDir);
    std::printf("LOCKED %d\n", lock.acquire() ? 1 : 0);
    std::fflush(stdout);
    char line[8];
    while (std::fgets(line, sizeof line, stdin)) {
    }
    return 0;
}

// The prompts a child printed.
QStringList promptsOf(QProcess& child)
{
    QStringList texts;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        if (line.startsWith("PROMPT "))
            texts << QString::fromUtf8(QByteArray::fromBase64(line.mid(7)));
    return texts;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneInstancePerApplicationFolder();
    void lockOfAVanishedProcessIsTakenOver();
    void anotherUsersLockInASharedTemporaryFolderIsNotOurs();
    void noCp949ConverterMeansNoStart();
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

// Two users of one program folder, their locks in the one temporary folder they share
// (no usable per-user runtime folder).
void StartupTest::anotherUsersLockInASharedTemporaryFolderIsNotOurs()
{
    if (geteuid() != 0)
        QSKIP("needs root to run a process as another user");
    QTemporaryDir shared, app;
    QVERIFY(::chmod(shared.path().toLocal8Bit().constData(), 01777) == 0);
    for (const char* user : {"runtime-root", "runtime-nobody"})
        QVERIFY(WriteFileBytes(shared.filePath(QLatin1String(user)), "not a folder"));
    const QString program = shared.filePath(QStringLiteral("holder"));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
    QVERIFY(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOther | QFile::ReadOther));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.insert(QStringLiteral("TMPDIR"), shared.path());
    QProcess other;
    other.setProcessEnvironment(env);
    other.start(QStringLiteral("setpriv"), {"--reuid=65534", "--regid=65534", "--clear-groups", "--", program,
                                            "--hold-lock", app.path()});
    QVERIFY(other.waitForReadyRead(20000));
    QCOMPARE(other.readLine().trimmed(), QByteArray("LOCKED 1"));

    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", shared.path().toLocal8Bit());
    bool mine = false;
    QString lockPath;
    {
        SingleInstance lock(app.path());
        mine = lock.acquire();
        lockPath = lock.lockPath();
    }
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("TMPDIR", tmp);
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(QFileInfo(lockPath).absolutePath(), shared.path());
    QVERIFY(mine);
}

// A minimal system without the CP949 converter: the character-set modules name one that
// is not there.
void StartupTest::noCp949ConverterMeansNoStart()
{
    QTemporaryDir gconv, app;
    QVERIFY(
        WriteFileBytes(gconv.filePath(QStringLiteral("gconv-modules")),
                       "alias\tCP949//\tMISSING//\nalias\tUHC//\tMISSING//\n"
                       "module\tMISSING//\tINTERNAL\tMISSING\t1\nmodule\tINTERNAL\tMISSING//\tMISSING\t1\n"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GCONV_PATH"), gconv.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--main-child"), app.path()});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 1);
    QCOMPARE(promptsOf(child), QStringList{QStringLiteral(
                                   "한글 문자 변환(CP949)을 사용할 수 없어 프로그램을 시작할 수 없습니다.\r\n"
                                   "시스템의 문자 변환 모듈(gconv)을 설치한 후 다시 실행해 주세요.")});
    QVERIFY(!QFileInfo::exists(app.filePath(QStringLiteral("log")))); // nothing was started
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

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc > 2 && QByteArray(argv[1]) == "--main-child")
        return runMainChild(QString::fromLocal8Bit(argv[2]));
    if (argc > 2 && QByteArray(argv[1]) == "--hold-lock")
        return runLockChild(QString::fromLocal8Bit(argv[2]));
    StartupTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
