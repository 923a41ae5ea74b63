#include "TestDb.h"
#include "Version.h"
#include "X11Window.h"
#include "common/ProfileIni.h"
#include "db/BuiltinAccount.h"
#include "db/SqlLog.h"
#include "platform/VersionInfo.h"

#include <QDirIterator>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
};

Run run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    Run r;
    if (p.waitForFinished(240000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAll());
    return r;
}

bool writeText(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Every file below `dir` (symbolic links included), relative to it, sorted.
QStringList filesBelow(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The decoded lines of the log files matching `pattern` in `dir`.
QStringList logLines(const QString& dir, const QString& pattern)
{
    QStringList lines;
    for (const QFileInfo& info : QDir(dir).entryInfoList({pattern}, QDir::Files)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n'))
                if (!line.trimmed().isEmpty())
                    lines << HexDecodeLogLine(QString::fromLatin1(line.trimmed()));
    }
    return lines;
}

} // namespace

// The Debian package, built from this build's programs, and the client installed from it.
class PackageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void packageContents();
    void menuEntryMetainfoAndLintian();
    void installedClientKeepsItsDataPerUser();

private:
    QString m_deb;
    QString m_root;
    QTemporaryDir m_work;
};

void PackageTest::initTestCase()
{
    const QString out = m_work.filePath(QStringLiteral("out"));
    const Run cpack =
        run(qEnvironmentVariable("AS_CPACK"),
            {QStringLiteral("--config"), qEnvironmentVariable("AS_BUILD_DIR") + "/CPackConfig.cmake",
             QStringLiteral("-B"), out});
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.out));
    const QString arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
    m_deb = out + QStringLiteral("/asmanager_" AS_VERSION_TEXT "_") + arch + QStringLiteral(".deb");
    QVERIFY2(QFileInfo::exists(m_deb), qPrintable(cpack.out));
    m_root = m_work.filePath(QStringLiteral("root"));
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_root}).exitCode, 0);
}

void PackageTest::packageContents()
{
    const QStringList expected = {
        "etc/asmanager/site.ini",
        "opt/asmanager/AutoUpdateV1",
        "opt/asmanager/FloatMsg",
        "opt/asmanager/asmanager",
        "opt/asmanager/filechanger",
        "usr/bin/asmanager",
        "usr/share/applications/asmanager.desktop",
        "usr/share/doc/asmanager/changelog.gz",
        "usr/share/doc/asmanager/copyright",
        "usr/share/icons/hicolor/scalable/apps/asmanager.svg",
        "usr/share/lintian/overrides/asmanager",
        "usr/share/man/man1/asmanager.1.gz",
        "usr/share/metainfo/kr.co.taven.asmanager.metainfo.xml",
    };
    QCOMPARE(filesBelow(m_root), expected);
    QCOMPARE(QFileInfo(m_root + "/usr/bin/asmanager").symLinkTarget(),
             QStringLiteral("/opt/asmanager/asmanager"));
    // Stripped programs keep the version block the self-update compares.
    QCOMPARE(GetFileVer(m_root + "/opt/asmanager/asmanager", true), QStringLiteral(AS_VERSION_TEXT));

    const QString depends = run("dpkg-deb", {"-f", m_deb, "Depends"}).out;
    for (const char* library : {"libc6", "libqt6widgets6", "libqt6charts6", "libmariadb3", "libcurl4"})
        QVERIFY2(depends.contains(QLatin1String(library)), qPrintable(depends));
    QCOMPARE(run("dpkg-deb", {"-I", m_deb, "conffiles"}).out.trimmed(),
             QStringLiteral("/etc/asmanager/site.ini"));
}

void PackageTest::menuEntryMetainfoAndLintian()
{
    const Run desktop = run("desktop-file-validate", {m_root + "/usr/share/applications/asmanager.desktop"});
    QVERIFY2(desktop.exitCode == 0 && desktop.out.isEmpty(), qPrintable(desktop.out));
    if (!QStandardPaths::findExecutable("appstreamcli").isEmpty()) {
        const Run metainfo =
            run("appstreamcli",
                {"validate", "--no-net", m_root + "/usr/share/metainfo/kr.co.taven.asmanager.metainfo.xml"});
        QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.out));
    }
    const Run lintian = run("lintian", {"--fail-on", "error", m_deb});
    QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.out));
}

// The client from the package, run by an ordinary user from a program folder it cannot
// write, logs in with the remembered password, lists the records and keeps its log,
// layout and connection files in that user's data folder.
void PackageTest::installedClientKeepsItsDataPerUser()
{
    const QString program = m_root + "/opt/asmanager";
    const QString client = program + "/asmanager";
    const QString mac = run(client, {"--print-mac"}).out.trimmed();
    if (!QRegularExpression("^[0-9a-fA-F]{12}$").match(mac).hasMatch())
        QSKIP("no network adapter to register the PC by");

    TestDb db;
    QVERIFY2(db.createDatabase(kDbName), qPrintable(db.error()));
    QVERIFY2(
        db.exec(QStringLiteral("USE ") + kDbName +
                ";"
                "INSERT INTO user (id, name, password, groupcode) VALUES ('hqt', '홍규태', 'demo', 1);"
                "INSERT INTO user_mac (user_id, mac_addr, block) VALUES ('hqt', '" +
                mac +
                "', 0);"
                "INSERT INTO part (code, name, chargeid) VALUES (201, '타벤 ERP', 'hqt');"
                "INSERT INTO aslist (seq, appcode, formname, title, user_q, qusdate, status) VALUES"
                " (1, 201, '거래처', '인쇄 오류', 'hqt', '2024-05-02 10:00', '요청대기'),"
                " (2, 201, '매출', '합계 틀림', 'hqt', '2024-05-03 11:00', '요청대기'),"
                " (3, 201, '매입', '화면 멈춤', 'hqt', '2024-05-04 12:00', '배포완료');"
                "INSERT INTO ascomp (comname, ascode) VALUES ('한빛상사', 1), ('한빛상사', 2), ('누리', 3);"),
        qPrintable(db.error()));

    // site.ini beside the program wins over /etc/asmanager/site.ini; the update server
    // must not be asked from a folder the user cannot write.
    QVERIFY(writeText(program + "/site.ini",
                      "[Database]\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(TestDb::port()) +
                          "\r\n[Update]\r\nServer=127.0.0.1:9\r\n"));
    const QString home = m_work.filePath("home");
    const QString config = home + "/.config/asmanager/";
    QVERIFY(writeText(config + "타벤 업무관리.ini", "[Config]\npasswd=demo\nissave_passwd=1\n"));
    QVERIFY(writeText(config + "타벤 A_S관리.ini", "[Config]\nSQLSlowTime=0\n")); // log every statement
    QVERIFY(QDir().mkpath(home + "/run"));
    const QStringList programFiles = filesBelow(program);

    QStringList command = {client};
    if (geteuid() == 0) { // as the ordinary user nobody, in a home of its own
        QCOMPARE(run("chown", {"-R", "nobody:nogroup", home}).exitCode, 0);
        QCOMPARE(run("chmod", {"755", m_work.path()}).exitCode, 0);
        command =
            QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"} + command;
    } else {
        QCOMPARE(run("chmod", {"a-w", program}).exitCode, 0);
    }
    const auto writableAgain = qScopeGuard([&] { run("chmod", {"u+w", program}); });
    QCOMPARE(run("chmod", {"700", home + "/run"}).exitCode, 0);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_CONFIG_HOME");
    env.remove("XDG_DATA_HOME");
    env.insert("HOME", home);
    env.insert("XDG_RUNTIME_DIR", home + "/run");
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(command.takeFirst(), command);
    QVERIFY(process.waitForStarted());

    X11Display display;
    QVERIFY(display.ok());
    unsigned long window = 0;
    for (int i = 0; i < 600 && !window && process.state() == QProcess::Running; ++i) {
        QTest::qWait(100);
        window = display.findWindow("타벤 A/S관리 v");
    }
    QVERIFY2(window, "the main window did not open");
    display.moveResize(window, 40, 30, 900, 600);
    display.askToClose(window);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);

    QCOMPARE(filesBelow(program), programFiles);
    const QString data = home + "/.local/share/asmanager";
    QCOMPARE(profile::ReadString(data + "/FormIni/FrmMain.ini", "FormPosition", "Width"),
             QStringLiteral("13500"));
    QVERIFY(!profile::ReadString(data + "/config.ini", "LPID", kDbUser).isEmpty());
    const QStringList statements = logLines(data + "/log", "SQLLog_*_slow.dat");
    // The list: the newest records found, then listed with their companies counted.
    QVERIFY2(statements.filter(QRegularExpression(" AS count, .* -> 3$")).size() == 1,
             qPrintable(statements.join('\n')));
    const QStringList notes = logLines(data + "/log", "SQLLog_??.dat");
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].contains("\t0\t-- 자동업데이트 안 함: ") && notes[0].contains(program),
             qPrintable(notes[0]));
}

QTEST_GUILESS_MAIN(PackageTest)
#include "tst_package.moc"
