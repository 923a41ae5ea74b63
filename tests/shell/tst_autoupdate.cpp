#include "HttpTestServer.h"
#include "MsgRecorder.h"
#include "TestFiles.h"
#include "UpdateTestFiles.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/SiteConfig.h"
#include "platform/UpdateHandshake.h"
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

const QString kRefused = QStringLiteral("업데이트 파일을 확인할 수 없어 설치하지 않았습니다.\r\n\r\n");
const QByteArray kErrorPage = "<html><body>502 Bad Gateway</body></html>";

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
    void refusedDownloads_data();
    void refusedDownloads();
    void refusedNewProgramIsNamed();
    void rolledBackStartSkipsTheUpdate();

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
    QByteArray m_newUpdater; // the updater and filechanger of the next revision
    QByteArray m_newChanger;
    QByteArray m_newProgram; // a program of the next revision that reports its start
    TestSigner m_signer;
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
    m_newUpdater = WithRevision(m_updaterBytes, m_updaterRevision + 1);
    m_newChanger = WithRevision(ReadFileBytes(builtProgram("filechanger")), m_updaterRevision + 1);
    m_newProgram = WithRevision(ReadFileBytes(QStringLiteral(AS_UPDATE_PROBE)), m_programRevision + 1);
    QVERIFY(!m_newUpdater.isEmpty() && !m_newChanger.isEmpty() && !m_newProgram.isEmpty());
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
    m_server.serve(kBase + UpdaterFileName(), m_newUpdater);
    m_server.serve(kBase + ChangerFileName(), m_newChanger);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(updaterDownloads(), 1);
    QCOMPARE(changerDownloads(), 1);
    QCOMPARE(ReadFileBytes(path(UpdaterFileName())), m_newUpdater);
    QCOMPARE(ReadFileBytes(path(ChangerFileName())), m_newChanger);
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
    m_server.serve(kBase + UpdaterFileName(), WithRevision(m_updaterBytes, 1));
    m_server.serve(kBase + ChangerFileName(), WithRevision(ReadFileBytes(builtProgram("filechanger")), 1));
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
    QTest::newRow("updater missing") << Reply{404, "not found"} << Reply{200, m_newChanger} << false;
    QTest::newRow("updater cut off") << Reply{200, m_newUpdater, true} << Reply{200, m_newChanger} << false;
    QTest::newRow("changer cut off") << Reply{200, m_newUpdater} << Reply{200, m_newChanger, true} << true;
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
    m_server.serve(kBase + m_program, m_newProgram);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    // The updater was handed this program's revision and name: it fetched the newer copy.
    QCOMPARE(ReadFileBytes(path(QStringLiteral("New_") + m_program)), m_newProgram);
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
// starts it, the client ends. The previous program goes once the new one has started.
void AutoUpdateTest::newCopyHandedToChanger()
{
    installUpdater();
    installProgram();
    QVERIFY(QFile::copy(builtProgram("filechanger"), path(ChangerFileName())));
    serveRevisions(m_updaterRevision, m_programRevision + 1);
    m_server.serve(kBase + m_program, m_newProgram);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(msgs.count(), 0);
    QCOMPARE(m_ended, 1);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("restarted.txt"))), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(path(QStringLiteral("Old_") + m_program)), 30000);
    QCOMPARE(ReadFileBytes(path(m_program)), m_newProgram);
    QVERIFY(QFileInfo(path(m_program)).isExecutable());
    QVERIFY(!QFile::exists(path(QStringLiteral("New_") + m_program)));
}

void AutoUpdateTest::refusedDownloads_data()
{
    QTest::addColumn<Reply>("updater");
    QTest::addColumn<Reply>("changer");
    QTest::addColumn<bool>("signedSite"); // [Update] PublicKey set; the server signs the good files
    QTest::addColumn<QString>("refused"); // the file named in the message; "" for none
    QTest::addColumn<bool>("updaterReplaced");
    const Reply updater{200, m_newUpdater}, changer{200, m_newChanger};
    const QString name = UpdaterFileName();
    QTest::newRow("proxy error page") << Reply{200, kErrorPage} << changer << false << name << false;
    QTest::newRow("updater of another revision")
        << Reply{200, WithRevision(m_updaterBytes, m_updaterRevision + 2)} << changer << false << name
        << false;
    QTest::newRow("tampered updater") << Reply{200, m_newUpdater + "x"} << changer << true << name << false;
    QTest::newRow("changer of another revision")
        << updater << Reply{200, WithRevision(m_newChanger, m_updaterRevision)} << false << ChangerFileName()
        << true;
    QTest::newRow("good signed update") << updater << changer << true << QString() << true;
}

// A program that fails a check replaces nothing and is not run, and the user is told.
void AutoUpdateTest::refusedDownloads()
{
    QFETCH(Reply, updater);
    QFETCH(Reply, changer);
    QFETCH(bool, signedSite);
    QFETCH(QString, refused);
    QFETCH(bool, updaterReplaced);
    installUpdater();
    installProgram();
    QVERIFY(WriteFileBytes(path(ChangerFileName()), "old changer"));
    const QStringList before = filesIn(m_dir->path());
    serveRevisions(m_updaterRevision + 1, m_programRevision);
    m_server.set(kBase + UpdaterFileName(), updater);
    m_server.set(kBase + ChangerFileName(), changer);
    if (signedSite) {
        SiteConfig site = Site();
        site.updateKey = m_signer.publicKey();
        SetSiteForTesting(site);
        m_server.serve(kBase + UpdaterFileName() + QStringLiteral(".sig"), m_signer.sign(m_newUpdater));
        m_server.serve(kBase + ChangerFileName() + QStringLiteral(".sig"), m_signer.sign(m_newChanger));
    }
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(msgs.count(), refused.isEmpty() ? 0 : 1);
    if (!refused.isEmpty()) {
        QVERIFY2(msgs.last().text.startsWith(kRefused + refused + QStringLiteral(": ")),
                 qPrintable(msgs.last().text));
        QCOMPARE(msgs.last().icon, MsgIcon::Exclamation);
    }
    QCOMPARE(ReadFileBytes(path(UpdaterFileName())), updaterReplaced ? m_newUpdater : m_updaterBytes);
    QCOMPARE(ReadFileBytes(path(ChangerFileName())), refused.isEmpty() ? m_newChanger : "old changer");
    QCOMPARE(updaterRuns(), refused.isEmpty() ? 1 : 0);
    QCOMPARE(filesIn(m_dir->path()), before);
}

// The updater refuses a new program that is not one: no new copy, and the user is told.
void AutoUpdateTest::refusedNewProgramIsNamed()
{
    installUpdater();
    installProgram();
    serveRevisions(m_updaterRevision, m_programRevision + 1);
    m_server.serve(kBase + m_program, kErrorPage);
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(msgs.count(), 1);
    QVERIFY2(msgs.last().text.startsWith(kRefused + m_program + QStringLiteral(": ")),
             qPrintable(msgs.last().text));
    QVERIFY(!QFile::exists(path(QStringLiteral("New_") + m_program)));
    QCOMPARE(m_ended, 0);
}

// filechanger put the previous program back: this start says so and updates nothing.
void AutoUpdateTest::rolledBackStartSkipsTheUpdate()
{
    installUpdater();
    installProgram();
    serveRevisions(m_updaterRevision + 1, m_programRevision + 1);
    qputenv(kRolledBackVariable, "1");
    MsgRecorder msgs;
    bool skip = false;
    RunAutoUpdate(skip);
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("새 버전의 프로그램이 시작되지 않아 이전 버전으로 "
                                                      "되돌렸습니다.\r\n이번에는 업데이트하지 않습니다.")});
    QCOMPARE(msgs.last().icon, MsgIcon::Exclamation);
    QCOMPARE(m_server.requests().size(), 0);
    QVERIFY(!qEnvironmentVariableIsSet(kRolledBackVariable));
}

QTEST_GUILESS_MAIN(AutoUpdateTest)
#include "tst_autoupdate.moc"
