#include "HttpTestServer.h"
#include "TestFiles.h"
#include "UpdateTestFiles.h"
#include "platform/Download.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using Reply = HttpTestServer::Reply;
Q_DECLARE_METATYPE(Reply)

namespace {

const QString kBase = QStringLiteral("/download/자동업데이트_v1/linux/");
// Programs that report their start as the client does (platform/UpdateHandshake.h).
const QByteArray kOldApp = "#!/bin/sh\necho \"v1 $AS_UPDATE_ROLLED_BACK\" > restarted.txt\n";
const QByteArray kNewApp = "#!/bin/sh\n[ -z \"$AS_UPDATE_STARTED_FILE\" ] || echo $$ > "
                           "\"$AS_UPDATE_STARTED_FILE\"\necho v2 > restarted.txt\n";
const QByteArray kErrorPage = "<html><body>502 Bad Gateway</body></html>";

struct Run
{
    int exitCode = -1;
    QByteArray errors;
};

} // namespace

// The updater and the file replacement program, run as the client runs them: copied into
// an application folder, with one parameter text.
class UpdateToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void updaterFetchesANewerProgram_data();
    void updaterFetchesANewerProgram();
    void updaterFailures_data();
    void updaterFailures();
    void updaterWithoutServer();
    void changerSwapsAndRestarts();
    void changerWaitsForTheRunningProgram();
    void changerRefusesBadParameters_data();
    void changerRefusesBadParameters();
    void changerPutsThePreviousBack_data();
    void changerPutsThePreviousBack();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void install(const char* program);
    Run run(const char* program, const QString& parameter);
    QStringList files() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    void useKey();
    QByteArray program(int revision) const { return WithRevision(m_probe, revision); }

    HttpTestServer m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_probe; // a real program that reports its start
    TestSigner m_signer;
};

void UpdateToolsTest::initTestCase()
{
    QVERIFY(m_server.port() != 0);
    qunsetenv("http_proxy");
    qputenv("no_proxy", "127.0.0.1");
    m_probe = ReadFileBytes(QStringLiteral(AS_UPDATE_PROBE));
    QVERIFY(!program(4).isEmpty());
}

// The site signs its programs: [Update] PublicKey beside the updater.
void UpdateToolsTest::useKey()
{
    QVERIFY(WriteFileBytes(path(QStringLiteral("site.ini")),
                           "[Update]\r\nServer=" + m_server.address().toLatin1() +
                               "\r\nPublicKey=" + m_signer.publicKey().toLatin1() + "\r\n"));
}

void UpdateToolsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_server.reset();
    QVERIFY(WriteFileBytes(path(QStringLiteral("site.ini")),
                           "[Update]\r\nServer=" + m_server.address().toLatin1() + "\r\n"));
    QVERIFY(WriteFileBytes(path(QStringLiteral("app")), kOldApp));
    QVERIFY(QFile::setPermissions(path(QStringLiteral("app")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ExeGroup));
}

void UpdateToolsTest::cleanup()
{
    m_dir.reset();
}

void UpdateToolsTest::install(const char* program)
{
    const QString name = QLatin1String(program);
    QVERIFY(QFile::copy(qEnvironmentVariable("AS_BIN_DIR") + QLatin1Char('/') + name, path(name)));
}

Run UpdateToolsTest::run(const char* program, const QString& parameter)
{
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.start(path(QLatin1String(program)), {parameter});
    Run r;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        r.exitCode = process.exitCode();
    r.errors = process.readAllStandardError();
    return r;
}

void UpdateToolsTest::updaterFetchesANewerProgram_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QByteArray>("latest");
    QTest::addColumn<bool>("fetched");
    QTest::addColumn<bool>("signedSite");
    QTest::newRow("newer") << "3;app" << QByteArray("4") << true << false;
    QTest::newRow("from zero") << "0;app" << QByteArray("1\r\n") << true << false;
    QTest::newRow("good signed update") << "3;app" << QByteArray("4") << true << true;
    QTest::newRow("current") << "4;app" << QByteArray("4") << false << false;
    QTest::newRow("server behind") << "5;app" << QByteArray("4") << false << false;
}

// A "New_" copy left from an earlier run never survives a check that finds the program
// current, so an older copy is never swapped in.
void UpdateToolsTest::updaterFetchesANewerProgram()
{
    QFETCH(QString, parameter);
    QFETCH(QByteArray, latest);
    QFETCH(bool, fetched);
    QFETCH(bool, signedSite);
    install("AutoUpdateV1");
    QVERIFY(WriteFileBytes(path(QStringLiteral("New_app")), "left from before"));
    const QByteArray newApp = program(latest.trimmed().toInt());
    m_server.serve(kBase + QStringLiteral("app_lastver.txt"), latest);
    m_server.serve(kBase + QStringLiteral("app"), newApp);
    if (signedSite) {
        useKey();
        m_server.serve(kBase + QStringLiteral("app.sig"), m_signer.sign(newApp));
    }
    const Run r = run("AutoUpdateV1", parameter);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(m_server.count(kBase + QStringLiteral("app_lastver.txt")), 1);
    QCOMPARE(m_server.count(kBase + QStringLiteral("app")), fetched ? 1 : 0);
    QCOMPARE(m_server.count(kBase + QStringLiteral("app.sig")), signedSite ? 1 : 0);
    QCOMPARE(ReadFileBytes(path(QStringLiteral("New_app"))), fetched ? newApp : QByteArray("<missing>"));
    QCOMPARE(ReadFileBytes(path(QStringLiteral("app"))), kOldApp);
    // The Hangul folder of the address goes out percent-encoded.
    QCOMPARE(
        m_server.requests().value(0).target,
        QByteArray(
            "/download/%EC%9E%90%EB%8F%99%EC%97%85%EB%8D%B0%EC%9D%B4%ED%8A%B8_v1/linux/app_lastver.txt"));
}

void UpdateToolsTest::updaterFailures_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<Reply>("latest");
    QTest::addColumn<Reply>("program");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("signing"); // "signed": a key on the site, and the server signs revision 4
    const QByteArray body = QByteArray(250000, 'p');
    QTest::newRow("revision missing") << "3;app" << Reply{404, "no"} << Reply{200, body} << 1 << "";
    QTest::newRow("revision empty") << "3;app" << Reply{200, " \r\n"} << Reply{200, body} << 1 << "";
    QTest::newRow("program missing") << "3;app" << Reply{200, "4"} << Reply{404, "no"} << 1 << "";
    QTest::newRow("program cut off") << "3;app" << Reply{200, "4"} << Reply{200, body, true} << 1 << "";
    QTest::newRow("no parameter") << "" << Reply{200, "4"} << Reply{200, body} << 2 << "";
    QTest::newRow("no program") << "3;" << Reply{200, "4"} << Reply{200, body} << 2 << "";
    QTest::newRow("no separator") << "3 app" << Reply{200, "4"} << Reply{200, body} << 2 << "";
    QTest::newRow("a path, not a name") << "3;../app" << Reply{200, "4"} << Reply{200, body} << 2 << "";
    // Refused: the last line on the error output says why.
    QTest::newRow("proxy error page") << "3;app" << Reply{200, "4"} << Reply{200, kErrorPage} << 3 << "";
    QTest::newRow("wrong revision") << "3;app" << Reply{200, "4"} << Reply{200, program(5)} << 3 << "";
    QTest::newRow("tampered file") << "3;app" << Reply{200, "4"} << Reply{200, program(4) + "x"} << 3
                                   << "signed";
    QTest::newRow("signed site, unsigned file")
        << "3;app" << Reply{200, "4"} << Reply{200, program(4)} << 3 << "unsigned";
}

void UpdateToolsTest::updaterFailures()
{
    QFETCH(QString, parameter);
    QFETCH(Reply, latest);
    QFETCH(Reply, program);
    QFETCH(int, exitCode);
    QFETCH(QString, signing);
    install("AutoUpdateV1");
    m_server.set(kBase + QStringLiteral("app_lastver.txt"), latest);
    m_server.set(kBase + QStringLiteral("app"), program);
    if (!signing.isEmpty())
        useKey();
    if (signing == QStringLiteral("signed"))
        m_server.serve(kBase + QStringLiteral("app.sig"), m_signer.sign(this->program(4)));
    const QStringList before = files();
    const Run r = run("AutoUpdateV1", parameter);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY(!r.errors.isEmpty());
    QCOMPARE(files(), before); // no new copy, no partial file
    if (exitCode == 2)
        QCOMPARE(m_server.requests().size(), 0);
}

void UpdateToolsTest::updaterWithoutServer()
{
    install("AutoUpdateV1");
    QVERIFY(WriteFileBytes(path(QStringLiteral("site.ini")), "[Database]\r\nHost=10.0.0.1\r\n"));
    QCOMPARE(run("AutoUpdateV1", QStringLiteral("3;app")).exitCode, 0);
    QCOMPARE(m_server.requests().size(), 0);
}

void UpdateToolsTest::changerSwapsAndRestarts()
{
    install("filechanger");
    const QFileDevice::Permissions mode = QFile::permissions(path(QStringLiteral("app")));
    QVERIFY(WriteFileBytes(path(QStringLiteral("New_app")), kNewApp)); // written without the execute bits
    const Run r = run("filechanger", QStringLiteral("app;New_app"));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(ReadFileBytes(path(QStringLiteral("app"))), kNewApp);
    QCOMPARE(QFile::permissions(path(QStringLiteral("app"))), mode);
    QVERIFY(!QFile::exists(path(QStringLiteral("New_app"))));
    // The previous program went once the new one had reported its start.
    QVERIFY(!QFile::exists(path(QStringLiteral("Old_app"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("app.started"))));
    // Started again from its folder.
    QTRY_COMPARE_WITH_TIMEOUT(ReadFileBytes(path(QStringLiteral("restarted.txt"))), QByteArray("v2\n"),
                              30000);
}

// The client ends right after starting filechanger; the swap waits for it to be gone.
void UpdateToolsTest::changerWaitsForTheRunningProgram()
{
    install("filechanger");
    const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    QVERIFY(!sleep.isEmpty());
    QFile::remove(path(QStringLiteral("app")));
    QVERIFY(QFile::copy(sleep, path(QStringLiteral("app"))));
    const QByteArray running = ReadFileBytes(path(QStringLiteral("app")));
    QVERIFY(WriteFileBytes(path(QStringLiteral("New_app")), kNewApp));

    QProcess app;
    app.start(path(QStringLiteral("app")), {QStringLiteral("60")});
    QVERIFY(app.waitForStarted());
    QProcess changer;
    changer.setWorkingDirectory(m_dir->path());
    changer.start(path(QStringLiteral("filechanger")), {QStringLiteral("app;New_app")});
    QVERIFY(changer.waitForStarted());
    QVERIFY(!changer.waitForFinished(1500)); // still waiting
    QCOMPARE(ReadFileBytes(path(QStringLiteral("app"))), running);
    QVERIFY(QFile::exists(path(QStringLiteral("New_app"))));

    app.kill();
    QVERIFY(app.waitForFinished());
    QVERIFY(changer.waitForFinished(30000));
    QCOMPARE(changer.exitCode(), 0);
    QCOMPARE(ReadFileBytes(path(QStringLiteral("app"))), kNewApp);
    QTRY_COMPARE_WITH_TIMEOUT(ReadFileBytes(path(QStringLiteral("restarted.txt"))), QByteArray("v2\n"),
                              30000);
}

void UpdateToolsTest::changerRefusesBadParameters_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::newRow("empty") << "";
    QTest::newRow("target only") << "app";
    QTest::newRow("no new copy named") << "app;";
    QTest::newRow("new copy missing") << "app;New_app";
    QTest::newRow("new copy is the target") << "app;app";
}

void UpdateToolsTest::changerRefusesBadParameters()
{
    QFETCH(QString, parameter);
    install("filechanger");
    const QStringList before = files();
    const Run r = run("filechanger", parameter);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(files(), before);
    QCOMPARE(ReadFileBytes(path(QStringLiteral("app"))), kOldApp);
    QVERIFY(!QFile::exists(path(QStringLiteral("restarted.txt"))));
}

void UpdateToolsTest::changerPutsThePreviousBack_data()
{
    QTest::addColumn<QByteArray>("newApp");
    QTest::newRow("cannot start") << kErrorPage;
    QTest::newRow("ends without reporting") << QByteArray("#!/bin/sh\nexit 1\n");
}

// A new copy that does not start is taken out again: the previous program is put back
// and started with the rolled-back mark.
void UpdateToolsTest::changerPutsThePreviousBack()
{
    QFETCH(QByteArray, newApp);
    install("filechanger");
    const QFileDevice::Permissions mode = QFile::permissions(path(QStringLiteral("app")));
    QVERIFY(WriteFileBytes(path(QStringLiteral("New_app")), newApp));
    const Run r = run("filechanger", QStringLiteral("app;New_app"));
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.errors.contains("did not start"), r.errors.constData());
    QCOMPARE(ReadFileBytes(path(QStringLiteral("app"))), kOldApp);
    QCOMPARE(QFile::permissions(path(QStringLiteral("app"))), mode);
    for (const char* gone : {"New_app", "Old_app", "app.started"})
        QVERIFY2(!QFile::exists(path(QLatin1String(gone))), gone);
    QTRY_COMPARE_WITH_TIMEOUT(ReadFileBytes(path(QStringLiteral("restarted.txt"))), QByteArray("v1 1\n"),
                              30000);
}

QTEST_GUILESS_MAIN(UpdateToolsTest)
#include "tst_updatetools.moc"
