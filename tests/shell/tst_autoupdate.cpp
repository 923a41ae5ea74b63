#include "HttpTestServer.h"
#include "MsgRecorder.h"
#include "TestFiles.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/SiteConfig.h"
#include "platform/VersionInfo.h"
#include "shell/AutoUpdate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Reply = HttpTestServer::Reply;
Q_DECLARE_METATYPE(Reply)

namespace {

const QString kBase = QStringLiteral("/download/자동업데이트_v1/linux/");

QString builtProgram(const char* name)
{
    return qEnvironmentVariable("AS_BIN_DIR") + QLatin1Char('/') + QLatin1String(name);
}

QString lastPart(const QString& version)
{
    return version.mid(version.lastIndexOf(QLatin1Char('.')) + 1);
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class AutoUpdateTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void nothingWithoutUpdateServer();
    void currentUpdaterIsRun();
    void outdatedUpdaterIsReplacedThenRun();
    void withoutLocalUpdater_data();
    void withoutLocalUpdater();
    void unreadableVersion_data();
    void unreadableVersion();
    void failedDownloadKeepsTheOldFiles_data();
    void failedDownloadKeepsTheOldFiles();
    void skipFlagLeavesTheUpdaterAlone();
    void noProgramFileNoUpdaterRun();
    void newCopyWithoutChanger();
    void newCopyHandedToChanger();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // The real updater, its revision on the server and beside the program.
    void installUpdater();
    void installProgram();
    void serveRevisions(int updater, int program);
    int updaterRuns() const { return m_server.count(kBase + m_program + QStringLiteral("_lastver.txt")); }
    int updaterDownloads() const { return m_server.count(kBase + UpdaterFileName()); }
    int changerDownloads() const { return m_server.count(kBase + ChangerFileName()); }

    HttpTestServer m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
    int m_updaterRevision = 0;
    int m_programRevision = 0;
    QByteArray m_updaterBytes;
    int m_ended = 0;
    QStringList m_openedFolders;
};

void AutoUpdateTest::initTestCase()
{
    QVERIFY(m_server.port() != 0);
    qunsetenv("http_proxy");
    qputenv("no_proxy", "127.0.0.1");
    m_program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    m_updaterBytes = ReadFileBytes(builtProgram("AutoUpdateV1"));
    QVERIFY(m_updaterBytes.startsWith("\x7f"
                                      "ELF"));
    m_updaterRevision = lastPart(GetFileVer(builtProgram("AutoUpdateV1"), true)).toInt();
    m_programRevision = lastPart(GetFileVer(QCoreApplication::applicationFilePath(), true)).toInt();
    QVERIFY(m_updaterRevision > 0);
    QVERIFY(m_programRevision > 0);
    SetAutoUpdateHooksForTesting({[this] { ++m_ended; }, [this](const QString& f) { m_openedFolders << f; }});
}

void AutoUpdateTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    SetAppDirForTesting(m_dir->path());
    m_server.reset();
    m_ended = 0;
    m_openedFolders.clear();
    SiteConfig site;
    site.updateServer = m_server.address();
    SetSiteForTesting(site);
    // The updater reads the same setting beside itself.
    QVERIFY(WriteFileBytes(path(QStringLiteral("site.ini")),
                           "[Update]\r\nServer=" + m_server.address().toLatin1() + "\r\n"));
}

void AutoUpdateTest::cleanup()
{
    SetAppDirForTesting({});
    m_dir.reset();
}

void AutoUpdateTest::installUpdater()
{
    QVERIFY(QFile::copy(builtProgram("AutoUpdateV1"), path(UpdaterFileName())));
}

void AutoUpdateTest::installProgram()
{
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), path(m_program)));
}

void AutoUpdateTest::serveRevisions(int updater, int program)
{
    m_server.serve(kBase + QStringLiteral("AutoUpdateV1_lastver.txt"), QByteArray::number(updater) + "\r\n");
    m_server.serve(kBase + m_program + QStringLiteral("_lastver.txt"), QByteArray::number(program));
}

void AutoUpdateTest::nothingWithoutUpdateServer()
{
    SetSiteForTesting({});
    installUpdater();
    installProgram();
    serveRevisions(m_updaterRevision + 1, m_programRevision + 1);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(m_server.requests().size(), 0);
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(m_ended, 0);
}

void AutoUpdateTest::currentUpdaterIsRun()
{
    installUpdater();
    installProgram();
    serveRevisions(m_updaterRevision, m_programRevision);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(m_server.count(kBase + QStringLiteral("AutoUpdateV1_lastver.txt")), 1);
    QCOMPARE(updaterDownloads(), 0);
    QCOMPARE(changerDownloads(), 0);
    QCOMPARE(updaterRuns(), 1);
    QVERIFY(!QFile::exists(path(QStringLiteral("New_") + m_program)));
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(m_ended, 0);
    QVERIFY(!skip);
}

void AutoUpdateTest::outdatedUpdaterIsReplacedThenRun()
{
    installUpdater();
    installProgram();
    QVERIFY(WriteFileBytes(path(ChangerFileName()), "old changer"));
    serveRevisions(m_updaterRevision + 1, m_programRevision);
    // Trailing bytes tell the new copy from the old; the program still runs.
    const QByteArray newUpdater = m_updaterBytes + "-newer";
    m_server.serve(kBase + UpdaterFileName(), newUpdater);
    m_server.serve(kBase + ChangerFileName(), "new changer");
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(updaterDownloads(), 1);
    QCOMPARE(changerDownloads(), 1);
    QCOMPARE(ReadFileBytes(path(UpdaterFileName())), newUpdater);
    QCOMPARE(ReadFileBytes(path(ChangerFileName())), QByteArray("new changer"));
    QCOMPARE(updaterRuns(), 1); // the new updater ran
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(m_ended, 0);
}

void AutoUpdateTest::withoutLocalUpdater_data()
{
    QTest::addColumn<QByteArray>("latest");
    QTest::addColumn<bool>("downloaded");
    QTest::newRow("positive") << QByteArray("1") << true;
    QTest::newRow("zero") << QByteArray("0") << false;
    QTest::newRow("negative") << QByteArray("-3") << false;
    QTest::newRow("below one half") << QByteArray("0.4") << false;
}

// Without an updater the current revision is 0.
void AutoUpdateTest::withoutLocalUpdater()
{
    QFETCH(QByteArray, latest);
    QFETCH(bool, downloaded);
    installProgram();
    m_server.serve(kBase + QStringLiteral("AutoUpdateV1_lastver.txt"), latest);
    m_server.serve(kBase + m_program + QStringLiteral("_lastver.txt"), QByteArray::number(m_programRevision));
    m_server.serve(kBase + UpdaterFileName(), m_updaterBytes);
    m_server.serve(kBase + ChangerFileName(), ReadFileBytes(builtProgram("filechanger")));
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(updaterDownloads(), downloaded ? 1 : 0);
    QCOMPARE(changerDownloads(), downloaded ? 1 : 0);
    QCOMPARE(QFile::exists(path(UpdaterFileName())), downloaded);
    QCOMPARE(QFile::exists(path(ChangerFileName())), downloaded);
    // A fetched updater is runnable and is run; a missing one is simply not.
    QCOMPARE(updaterRuns(), downloaded ? 1 : 0);
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(m_ended, 0);
}

void AutoUpdateTest::unreadableVersion_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::newRow("empty") << Reply{200, ""};
    QTest::newRow("blanks") << Reply{200, "  \r\n"};
    QTest::newRow("missing") << Reply{404, "not found"};
}

void AutoUpdateTest::unreadableVersion()
{
    QFETCH(Reply, reply);
    installUpdater();
    installProgram();
    serveRevisions(0, m_programRevision + 1);
    m_server.set(kBase + QStringLiteral("AutoUpdateV1_lastver.txt"), reply);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(msgs.count(), 1);
    QCOMPARE(msgs.last().text, UpdaterFileName() + QStringLiteral("의 최신버전 정보를 읽어올 수 없습니다!"));
    QCOMPARE(msgs.last().icon, MsgIcon::Critical);
    QCOMPARE(msgs.last().buttons, MsgButtons::Ok);
    QCOMPARE(msgs.last().title, gAppTitle);
    // A normal start: the updater is not run.
    QCOMPARE(updaterRuns(), 0);
    QCOMPARE(updaterDownloads(), 0);
    QCOMPARE(m_ended, 0);
}

void AutoUpdateTest::failedDownloadKeepsTheOldFiles_data()
{
    QTest::addColumn<Reply>("updater");
    QTest::addColumn<Reply>("changer");
    QTest::addColumn<bool>("updaterReplaced");
    const QByteArray body = QByteArray(300000, 'u');
    QTest::newRow("updater missing") << Reply{404, "not found"} << Reply{200, "new changer"} << false;
    QTest::newRow("updater cut off") << Reply{200, body, true} << Reply{200, "new changer"} << false;
    QTest::newRow("changer cut off") << Reply{200, body} << Reply{200, body, true} << true;
}

void AutoUpdateTest::failedDownloadKeepsTheOldFiles()
{
    QFETCH(Reply, updater);
    QFETCH(Reply, changer);
    QFETCH(bool, updaterReplaced);
    installUpdater();
    installProgram();
    QVERIFY(WriteFileBytes(path(ChangerFileName()), "old changer"));
    const QStringList before = filesIn(m_dir->path());
    serveRevisions(m_updaterRevision + 1, m_programRevision + 1);
    m_server.set(kBase + UpdaterFileName(), updater);
    m_server.set(kBase + ChangerFileName(), changer);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(ReadFileBytes(path(UpdaterFileName())), updaterReplaced ? updater.body : m_updaterBytes);
    QVERIFY(QFileInfo(path(UpdaterFileName())).isExecutable());
    QCOMPARE(ReadFileBytes(path(ChangerFileName())), QByteArray("old changer"));
    QCOMPARE(filesIn(m_dir->path()), before); // no partial file left over
    QCOMPARE(changerDownloads(), updaterReplaced ? 1 : 0);
    QCOMPARE(updaterRuns(), 0);
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(m_ended, 0);
}

void AutoUpdateTest::skipFlagLeavesTheUpdaterAlone()
{
    installUpdater();
    installProgram();
    serveRevisions(m_updaterRevision + 1, m_programRevision);
    bool skip = true;
    RunAutoUpdate(skip);
    QCOMPARE(m_server.count(kBase + QStringLiteral("AutoUpdateV1_lastver.txt")), 0);
    QCOMPARE(updaterDownloads(), 0);
    QCOMPARE(updaterRuns(), 1);
}

void AutoUpdateTest::noProgramFileNoUpdaterRun()
{
    installUpdater();
    serveRevisions(m_updaterRevision, m_programRevision + 1);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(m_server.count(kBase + QStringLiteral("AutoUpdateV1_lastver.txt")), 1);
    QCOMPARE(updaterRuns(), 0);
    QCOMPARE(msgs.count(), 0);
}

void AutoUpdateTest::newCopyWithoutChanger()
{
    installUpdater();
    installProgram();
    serveRevisions(m_updaterRevision, m_programRevision + 1);
    m_server.serve(kBase + m_program, "new program");
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    // The updater was handed this program's revision and name: it fetched the newer copy.
    QCOMPARE(ReadFileBytes(path(QStringLiteral("New_") + m_program)), QByteArray("new program"));
    QCOMPARE(msgs.count(), 1);
    QCOMPARE(msgs.last().text, QStringLiteral("파일교체 프로그램을 찾을 수 없습니다.\r\n\r\n") +
                                   QDir::toNativeSeparators(path(ChangerFileName())));
    QCOMPARE(msgs.last().buttons, MsgButtons::Ok);
    QCOMPARE(msgs.last().title, gAppTitle);
    QCOMPARE(m_openedFolders, QStringList{m_dir->path()});
    QCOMPARE(m_ended, 1);
    QCOMPARE(ReadFileBytes(path(m_program)), ReadFileBytes(QCoreApplication::applicationFilePath()));
}

// The whole hand-over: the updater fetches the new program, filechanger swaps it in and
// starts it, the client ends.
void AutoUpdateTest::newCopyHandedToChanger()
{
    installUpdater();
    installProgram();
    QVERIFY(QFile::copy(builtProgram("filechanger"), path(ChangerFileName())));
    serveRevisions(m_updaterRevision, m_programRevision + 1);
    const QByteArray newProgram = "#!/bin/sh\necho started > restarted.txt\n";
    m_server.serve(kBase + m_program, newProgram);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(m_ended, 1);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("restarted.txt"))), 30000);
    QCOMPARE(ReadFileBytes(path(m_program)), newProgram);
    QVERIFY(QFileInfo(path(m_program)).isExecutable());
    QVERIFY(!QFile::exists(path(QStringLiteral("New_") + m_program)));
}

QTEST_GUILESS_MAIN(AutoUpdateTest)
#include "tst_autoupdate.moc"
