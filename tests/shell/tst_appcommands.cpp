#include "TestFiles.h"
#include "Version.h"
#include "platform/MacAddress.h"
#include "platform/UpdateHandshake.h"
#include "platform/VersionInfo.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run asmanager(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("AS_BIN_DIR") + QStringLiteral("/asmanager"), args);
    Run r;
    if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

// The information commands of the client, run as an administrator or a script runs them.
class AppCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void versionMatchesTheVersionBlock();
    void printMacGivesTheAllowListAddress();
    void helpAndUsageErrors_data();
    void helpAndUsageErrors();
    void reportsItsStartToFilechanger();
};

void AppCommandsTest::versionMatchesTheVersionBlock()
{
    const Run r = asmanager({QStringLiteral("--version")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral(AS_VERSION_TEXT "\n"));
    // The self-update reads the same version from the program file.
    const QString exe = qEnvironmentVariable("AS_BIN_DIR") + QStringLiteral("/asmanager");
    QCOMPARE(GetFileVer(exe, true), QStringLiteral(AS_VERSION_TEXT));
    const QStringList entries = GetVersionInfoList(exe);
    QCOMPARE(entries.value(1), QStringLiteral("FileDescription: 타벤 A/S관리"));
    QCOMPARE(entries.value(5), QStringLiteral("OriginalFilename: asmanager"));
}

void AppCommandsTest::printMacGivesTheAllowListAddress()
{
    const QString mac = GetMyMacAddress();
    const Run r = asmanager({QStringLiteral("--print-mac")});
    if (mac.isEmpty()) {
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QString());
        QVERIFY(r.err.startsWith(QStringLiteral("asmanager: no network adapter with an address")));
        return;
    }
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, mac + QLatin1Char('\n'));
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{12}$")).match(mac).hasMatch());
}

void AppCommandsTest::helpAndUsageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("firstLine"); // of standard output, or of standard error on an error
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: asmanager [OPTION]";
    QTest::newRow("-h") << QStringList{"-h"} << 0 << "Usage: asmanager [OPTION]";
    QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen", "--version"} << 0
                                     << AS_VERSION_TEXT;
    QTest::newRow("unknown option") << QStringList{"--versoin"} << 2
                                    << "asmanager: unknown option '--versoin'";
    QTest::newRow("after a known one")
        << QStringList{"--version", "-x"} << 2 << "asmanager: unknown option '-x'";
    QTest::newRow("argument") << QStringList{"file.txt"} << 2 << "asmanager: unexpected argument 'file.txt'";
}

void AppCommandsTest::helpAndUsageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, firstLine);
    const Run r = asmanager(args);
    QCOMPARE(r.exitCode, exitCode);
    const QString& text = exitCode == 0 ? r.out : r.err;
    QCOMPARE((exitCode == 0 ? r.err : r.out), QString());
    QCOMPARE(text.section(QLatin1Char('\n'), 0, 0), firstLine);
    if (firstLine != QLatin1String(AS_VERSION_TEXT)) // the help follows
        for (const char* option : {"  -h, --help ", "      --version ", "      --print-mac\n",
                                   " Ctrl+Shift+I opens the Excel import"})
            QVERIFY2(text.contains(QLatin1String(option)), qPrintable(text));
}

// Started by filechanger after an update, the client tells it that it runs, so that the
// previous program can go.
void AppCommandsTest::reportsItsStartToFilechanger()
{
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("asmanager"));
    QVERIFY(QFile::copy(qEnvironmentVariable("AS_BIN_DIR") + QStringLiteral("/asmanager"), exe));
    const QString report = dir.filePath(QStringLiteral("asmanager.started"));
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(kStartedFileVariable), report);
    client.setProcessEnvironment(environment);
    client.setWorkingDirectory(dir.path());
    client.start(exe, QStringList());
    QVERIFY(client.waitForStarted());
    const QByteArray pid = QByteArray::number(client.processId()) + '\n';
    QTRY_COMPARE_WITH_TIMEOUT(ReadFileBytes(report), pid, 30000);
    client.kill();
    client.waitForFinished();
}

QTEST_GUILESS_MAIN(AppCommandsTest)
#include "tst_appcommands.moc"
