#include "HttpTestServer.h"
#include "TestFiles.h"
#include "UpdateTestFiles.h"
#include "common/SiteConfig.h"
#include "platform/Download.h"
#include "platform/ProgramDownload.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using Reply = HttpTestServer::Reply;
Q_DECLARE_METATYPE(Reply)

class DownloadTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void readText_data();
    void readText();
    void requestsAskForAFreshCopy();
    void download_data();
    void download();
    void downloadOfANewFile();
    void downloadIntoAMissingFolder();
    void unreachableServer();
    void proxyFromTheEnvironment();
    void addresses_data();
    void addresses();
    void revisions_data();
    void revisions();
    void redirectsNeverLeaveHttps_data();
    void redirectsNeverLeaveHttps();
    void programChecks_data();
    void programChecks();

private:
    QString url(const QString& path) const { return m_server.url(path); }

    HttpTestServer m_server;
    HttpTestServer m_https{HttpTestServer::Https};
    QTemporaryDir m_dir;
    TestSigner m_signer;
    QByteArray m_program; // a real program of revision 7
};

void DownloadTest::initTestCase()
{
    QVERIFY(m_server.port() != 0);
    QVERIFY(m_https.port() != 0);
    qunsetenv("http_proxy");
    qputenv("no_proxy", "127.0.0.1");
    SiteConfig site;
    site.updateCaFile = m_https.caFile(); // the test server's own certificate authority
    SetSiteForTesting(site);
    m_program = WithRevision(ReadFileBytes(QStringLiteral(AS_UPDATE_PROBE)), 7);
    QVERIFY(!m_program.isEmpty());
}

void DownloadTest::init()
{
    m_server.reset();
    m_https.reset();
}

void DownloadTest::readText_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("text");
    QTest::newRow("revision") << Reply{200, "13"} << QStringLiteral("13");
    QTest::newRow("line end kept") << Reply{200, "13\r\n"} << QStringLiteral("13\r\n");
    QTest::newRow("first 20 bytes only")
        << Reply{200, "0000000000000000000013"} << QStringLiteral("00000000000000000000");
    QTest::newRow("empty") << Reply{200, ""} << QString();
    QTest::newRow("not found page") << Reply{404, "13"} << QString();
    QTest::newRow("server error page") << Reply{500, "13"} << QString();
    QTest::newRow("redirected") << Reply{302, "", false, "/moved.txt"} << QStringLiteral("7");
}

void DownloadTest::readText()
{
    QFETCH(Reply, reply);
    QFETCH(QString, text);
    m_server.set(QStringLiteral("/v.txt"), reply);
    m_server.serve(QStringLiteral("/moved.txt"), "7");
    AppError error;
    QCOMPARE(ReadUrlText(url(QStringLiteral("/v.txt")), &error), text);
    QCOMPARE(error.isSet(), reply.status >= 400);
}

void DownloadTest::requestsAskForAFreshCopy()
{
    m_server.serve(QStringLiteral("/v.txt"), "1");
    ReadUrlText(url(QStringLiteral("/v.txt")));
    QVERIFY(DownloadUrlToFile(url(QStringLiteral("/v.txt")), m_dir.filePath(QStringLiteral("fresh"))));
    const QList<HttpTestServer::Request> requests = m_server.requests();
    QCOMPARE(requests.size(), 2);
    for (const HttpTestServer::Request& r : requests) {
        QCOMPARE(r.method, QByteArray("GET"));
        QCOMPARE(r.headers.value("user-agent"), QByteArray("VB OpenUrl"));
        QCOMPARE(r.headers.value("cache-control"), QByteArray("no-cache"));
        QCOMPARE(r.headers.value("pragma"), QByteArray("no-cache"));
    }
}

void DownloadTest::download_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("replaced");
    const QByteArray body = QByteArray(200000, 'n') + "end";
    QTest::newRow("complete") << Reply{200, body} << true;
    QTest::newRow("empty resource") << Reply{200, ""} << true;
    QTest::newRow("redirected") << Reply{302, "", false, "/moved.bin"} << true;
    QTest::newRow("not found") << Reply{404, "no such file"} << false;
    QTest::newRow("server error") << Reply{500, body} << false;
    QTest::newRow("line cut mid-body") << Reply{200, body, true} << false;
}

// The target changes only when the whole resource arrived, keeps its permissions, and
// no temporary file is left behind either way.
void DownloadTest::download()
{
    QFETCH(Reply, reply);
    QFETCH(bool, replaced);
    m_server.set(QStringLiteral("/file.bin"), reply);
    m_server.serve(QStringLiteral("/moved.bin"), reply.body);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("AutoUpdateV1"));
    QVERIFY(WriteFileBytes(target, "old updater"));
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup;
    QVERIFY(QFile::setPermissions(target, mode));

    AppError error;
    QCOMPARE(DownloadUrlToFile(url(QStringLiteral("/file.bin")), target, &error), replaced);
    QCOMPARE(error.isSet(), !replaced);
    QCOMPARE(ReadFileBytes(target), replaced ? reply.body : QByteArray("old updater"));
    QCOMPARE(QFile::permissions(target) &
                 ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
             mode);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("AutoUpdateV1")});
}

void DownloadTest::downloadOfANewFile()
{
    m_server.serve(QStringLiteral("/new.bin"), "fresh");
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("filechanger"));
    QVERIFY(!DownloadUrlToFile(url(QStringLiteral("/none.bin")), target));
    QVERIFY(QDir(dir.path()).isEmpty(QDir::Files | QDir::Hidden));
    QVERIFY(DownloadUrlToFile(url(QStringLiteral("/new.bin")), target));
    QCOMPARE(ReadFileBytes(target), QByteArray("fresh"));
}

void DownloadTest::downloadIntoAMissingFolder()
{
    m_server.serve(QStringLiteral("/new.bin"), "fresh");
    AppError error;
    QVERIFY(!DownloadUrlToFile(url(QStringLiteral("/new.bin")), m_dir.filePath(QStringLiteral("no/such/x")),
                               &error));
    QVERIFY(error.isSet());
    QCOMPARE(m_server.count(QStringLiteral("/new.bin")), 0);
}

void DownloadTest::unreachableServer()
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const QString address = QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort);
    const QString target = m_dir.filePath(QStringLiteral("kept"));
    QVERIFY(WriteFileBytes(target, "kept"));
    AppError error;
    QCOMPARE(ReadUrlText(address, &error), QString());
    QVERIFY(error.isSet());
    QVERIFY(!DownloadUrlToFile(address, target));
    QCOMPARE(ReadFileBytes(target), QByteArray("kept"));
    QCOMPARE(ReadUrlText(QStringLiteral("ftp://127.0.0.1/x")), QString());
}

void DownloadTest::proxyFromTheEnvironment()
{
    m_server.serve(QStringLiteral("/download/v.txt"), "5");
    qputenv("http_proxy", QStringLiteral("http://%1").arg(m_server.address()).toUtf8());
    const QString text = ReadUrlText(QStringLiteral("http://update.invalid/download/v.txt"));
    qunsetenv("http_proxy");
    QCOMPARE(text, QStringLiteral("5"));
    QCOMPARE(m_server.requests().value(0).target, QByteArray("http://update.invalid/download/v.txt"));
}

void DownloadTest::addresses_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("base");
    const QString path =
        QStringLiteral("/download/%EC%9E%90%EB%8F%99%EC%97%85%EB%8D%B0%EC%9D%B4%ED%8A%B8_v1/linux/");
    QTest::newRow("address") << QStringLiteral("10.1.2.3") << QStringLiteral("http://10.1.2.3") + path;
    QTest::newRow("port and slash") << QStringLiteral(" 10.1.2.3:8080/ ")
                                    << QStringLiteral("http://10.1.2.3:8080") + path;
    QTest::newRow("scheme") << QStringLiteral("https://upd.example")
                            << QStringLiteral("https://upd.example") + path;
    QTest::newRow("none") << QString() << QString();
}

void DownloadTest::addresses()
{
    QFETCH(QString, server);
    QFETCH(QString, base);
    QCOMPARE(UpdateBaseUrl(server), base);
    if (!base.isEmpty())
        QCOMPARE(UpdateFileUrl(base, QStringLiteral("New file;1")), base + QStringLiteral("New%20file%3B1"));
    QCOMPARE(LastVerResourceName(QStringLiteral("AutoUpdateV1.exe")),
             QStringLiteral("AutoUpdateV1_lastver.txt"));
    QCOMPARE(LastVerResourceName(QStringLiteral("AutoUpdateV1")), QStringLiteral("AutoUpdateV1_lastver.txt"));
    QCOMPARE(LastVerResourceName(QStringLiteral("as.manager.exe")), QStringLiteral("as.manager_lastver.txt"));
}

void DownloadTest::revisions_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<bool>("newer");
    QTest::newRow("same") << "12"
                          << "12" << false;
    QTest::newRow("one up") << "12"
                            << "13" << true;
    QTest::newRow("older on server") << "12"
                                     << "11" << false;
    QTest::newRow("no local file") << "0"
                                   << "1" << true;
    QTest::newRow("zero on server") << "0"
                                    << "0" << false;
    QTest::newRow("negative on server") << "0"
                                        << "-3" << false;
    QTest::newRow("line end") << "12"
                              << "13\r\n"
                              << true;
    QTest::newRow("half rounds to even") << "12"
                                         << "12.5" << false;
    QTest::newRow("rounded up") << "12"
                                << "12.6" << true;
    QTest::newRow("odd half rounds up") << "13"
                                        << "13.5" << true;
    QTest::newRow("no number") << "12"
                               << "abc" << false;
    QTest::newRow("empty current") << ""
                                   << "1" << true;
    QTest::newRow("numeric order, not text order") << "9"
                                                   << "10" << true;
}

void DownloadTest::revisions()
{
    QFETCH(QString, current);
    QFETCH(QString, latest);
    QFETCH(bool, newer);
    QCOMPARE(IsNewerRevision(current, latest), newer);
}

void DownloadTest::redirectsNeverLeaveHttps_data()
{
    QTest::addColumn<bool>("fromHttps");
    QTest::addColumn<bool>("toHttps");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("followed");
    QTest::newRow("https to https") << true << true << 302 << true;
    QTest::newRow("https to http") << true << false << 302 << false;
    QTest::newRow("https to http, moved for good") << true << false << 301 << false;
    QTest::newRow("http to https") << false << true << 302 << true;
    QTest::newRow("http to http") << false << false << 302 << true;
}

// A proxy or a server that sends an https request on to plain http is not followed:
// neither the version text nor a program arrives that way.
void DownloadTest::redirectsNeverLeaveHttps()
{
    QFETCH(bool, fromHttps);
    QFETCH(bool, toHttps);
    QFETCH(int, status);
    QFETCH(bool, followed);
    HttpTestServer& from = fromHttps ? m_https : m_server;
    HttpTestServer& to = toHttps ? m_https : m_server;
    to.serve(QStringLiteral("/moved.bin"), "7");
    from.set(QStringLiteral("/v.txt"),
             Reply{status, "", false, to.url(QStringLiteral("/moved.bin")).toLatin1()});
    const QString target = m_dir.filePath(QStringLiteral("redirected"));
    QVERIFY(WriteFileBytes(target, "old"));

    AppError error;
    QCOMPARE(ReadUrlText(from.url(QStringLiteral("/v.txt")), &error),
             followed ? QStringLiteral("7") : QString());
    QCOMPARE(error.isSet(), !followed);
    QCOMPARE(DownloadUrlToFile(from.url(QStringLiteral("/v.txt")), target), followed);
    QCOMPARE(ReadFileBytes(target), QByteArray(followed ? "7" : "old"));
    QCOMPARE(to.count(QStringLiteral("/moved.bin")), followed ? 2 : 0);
}

void DownloadTest::programChecks_data()
{
    QTest::addColumn<Reply>("program");
    QTest::addColumn<Reply>("signature");
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("revision");
    QTest::addColumn<int>("outcome");
    const Reply none{404, "no"};
    const Reply signature{200, m_signer.sign(m_program)};
    const int done = int(ProgramDownload::Done), refused = int(ProgramDownload::Refused);
    const QString key = m_signer.publicKey();
    QTest::newRow("unsigned site") << Reply{200, m_program} << none << QString() << 7.0 << done;
    QTest::newRow("good signed update") << Reply{200, m_program} << signature << key << 7.0 << done;
    QTest::newRow("tampered file") << Reply{200, m_program + "tail"} << signature << key << 7.0 << refused;
    QTest::newRow("no signature") << Reply{200, m_program} << none << key << 7.0 << refused;
    QTest::newRow("signature cut short")
        << Reply{200, m_program} << Reply{200, signature.body.left(63)} << key << 7.0 << refused;
    TestSigner other;
    QTest::newRow("another key's signature")
        << Reply{200, m_program} << Reply{200, other.sign(m_program)} << key << 7.0 << refused;
    QTest::newRow("key that is no Ed25519 key")
        << Reply{200, m_program} << signature << QStringLiteral("bm8ga2V5") << 7.0 << refused;
    QTest::newRow("wrong revision") << Reply{200, m_program} << none << QString() << 8.0 << refused;
    QTest::newRow("proxy error page")
        << Reply{200, "<html><body>502 Bad Gateway</body></html>"} << none << QString() << 7.0 << refused;
    QTest::newRow("cut off") << Reply{200, m_program, true} << signature << key << 7.0
                             << int(ProgramDownload::Failed);
}

// A downloaded program takes the old one's place only when it carries the advertised
// revision and, with a key, the server's signature of exactly its bytes.
void DownloadTest::programChecks()
{
    QFETCH(Reply, program);
    QFETCH(Reply, signature);
    QFETCH(QString, key);
    QFETCH(double, revision);
    QFETCH(int, outcome);
    m_server.set(QStringLiteral("/app"), program);
    m_server.set(QStringLiteral("/app.sig"), signature);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("app"));
    QVERIFY(WriteFileBytes(target, "old"));

    AppError error;
    QCOMPARE(int(DownloadProgram(url(QStringLiteral("/app")), target, revision, key, &error)), outcome);
    const bool done = outcome == int(ProgramDownload::Done);
    QCOMPARE(error.isSet(), !done);
    QCOMPARE(ReadFileBytes(target), done ? program.body : QByteArray("old"));
    QCOMPARE(QFileInfo(target).isExecutable(), done);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("app")});
}

QTEST_GUILESS_MAIN(DownloadTest)
#include "tst_download.moc"
