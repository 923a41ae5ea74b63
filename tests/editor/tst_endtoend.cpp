#include "TestDb.h"
#include "TestFiles.h"
#include "db/BuiltinAccount.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kShareDir = QStringLiteral("share/사내문서/7_AS스샷");

// Runs xdotool on the test display; its standard output.
QString xdo(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void keys(const QString& sequence)
{
    for (const QString& key : sequence.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        xdo({QStringLiteral("key"), key});
        QTest::qWait(150);
    }
}

void type(const QString& text)
{
    xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
    QTest::qWait(150);
}

QStringList visibleWindows()
{
    return xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"),
                QStringLiteral("asmanager")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Waits for a visible window of the program that `known` does not list and whose title
// holds `title`, and gives it the focus.
QString focusNewWindow(const QStringList& known, const QString& title)
{
    QString found;
    for (int i = 0; i < 150 && found.isEmpty(); ++i) {
        for (const QString& id : visibleWindows())
            if (!known.contains(id) && xdo({QStringLiteral("getwindowname"), id}).contains(title))
                found = id;
        if (found.isEmpty())
            QTest::qWait(200);
    }
    if (!found.isEmpty()) {
        xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), found});
        QTest::qWait(300);
    }
    return found;
}

// Answers the next message box or file dialog: the keys go to whatever has the focus.
void answer(const QString& sequence)
{
    QTest::qWait(800);
    keys(sequence);
}

// Without a window manager the focus does not come back by itself when a dialog closes.
void refocus(const QString& window)
{
    QTest::qWait(500);
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    QTest::qWait(300);
}

} // namespace

// The real program, started as its users start it, driven through the keyboard on the
// test display: one user enters a request with a capture and an attached picture, another
// answers it. The results are read from the server and the share.
class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void enterAndAnswerARequest();

private:
    void startAs(const QString& user, const QString& password);
    QString column(const QString& name);

    QTemporaryDir m_dir;
    QString m_mac;
    QProcess m_client;
};

void EndToEndTest::initTestCase()
{
    const QString bin = qEnvironmentVariable("AS_BIN_DIR");
    QProcess mac;
    mac.start(bin + QStringLiteral("/asmanager"), {QStringLiteral("--print-mac")});
    mac.waitForFinished(20000);
    m_mac = QString::fromUtf8(mac.readAllStandardOutput()).trimmed();
    if (m_mac.isEmpty())
        QSKIP("this machine has no network adapter with an address to log in with");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is not installed");

    // The program folder: the client and its floating message program with a site.ini.
    for (const QString& program : {QStringLiteral("asmanager"), QStringLiteral("FloatMsg")})
        QVERIFY(QFile::copy(bin + QLatin1Char('/') + program, m_dir.filePath(program)));
    QVERIFY(WriteFileBytes(
        m_dir.filePath(QStringLiteral("site.ini")),
        QStringLiteral("[Database]\nHost=%1\nPort=%2\n[Share]\nHost=fileserver\nMountRoot=%3\n")
            .arg(TestDb::host(1))
            .arg(TestDb::port())
            .arg(m_dir.filePath(QStringLiteral("share")))
            .toUtf8()));
    QVERIFY(QDir().mkpath(m_dir.filePath(kShareDir)));
    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(m_dir.filePath(QStringLiteral("question.jpg")), "JPEG"));
    picture.fill(Qt::darkMagenta);
    QVERIFY(picture.save(m_dir.filePath(QStringLiteral("answer.jpg")), "JPEG"));

    TestDb db;
    QVERIFY2(db.createDatabase(QString::fromLatin1(kDbName)), qPrintable(db.error()));
    QVERIFY2(db.exec(QStringLiteral(
                 "INSERT INTO user (id, name, password, groupcode) VALUES ('kim', '김철수', 'kpw', 1),"
                 " ('lee', '이영희', 'lpw', 1);"
                 "INSERT INTO part (code, name, chargeid, sortord) VALUES (1, '회계관리', 'lee', 1),"
                 " (2, '가계부', 'kim', 2);"
                 "INSERT INTO aslist (seq, appcode, formname, title, errtext, user_q, qusdate, status)"
                 " VALUES (1, 2, 'FrmOld', '지난 요청', '내용', 'kim', '2020-01-01 09:00', '요청대기');"
                 "INSERT INTO ascomp (user, comname, writedate, ascode) VALUES ('kim', '상사', '', 1);")),
             qPrintable(db.error()));
}

void EndToEndTest::cleanupTestCase()
{
    m_client.kill();
    m_client.waitForFinished();
}

// Starts the client on this PC for `user`, whose password it remembers.
void EndToEndTest::startAs(const QString& user, const QString& password)
{
    m_client.kill();
    m_client.waitForFinished();
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("DELETE FROM %1.user_mac; INSERT INTO %1.user_mac (user_id, "
                                   "mac_addr) VALUES ('%2', '%3')")
                        .arg(QLatin1String(kDbName), user, m_mac)));
    const QString home = m_dir.filePath(QStringLiteral("home-") + user);
    QVERIFY(QDir().mkpath(home + QStringLiteral("/asmanager")));
    QVERIFY(WriteFileBytes(home + QStringLiteral("/asmanager/타벤 업무관리.ini"),
                           QStringLiteral("[Config]\npasswd=%1\nissave_passwd=1\n").arg(password).toUtf8()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_client.setProcessEnvironment(env);
    m_client.start(m_dir.filePath(QStringLiteral("asmanager")), {});
    QVERIFY(m_client.waitForStarted());
    QVERIFY2(!focusNewWindow({}, QStringLiteral("(HOST: ")).isEmpty(), "the main window did not open");
}

QString EndToEndTest::column(const QString& name)
{
    TestDb db;
    return db.value(
        QStringLiteral("SELECT %1 FROM %2.aslist WHERE seq = 2").arg(name, QLatin1String(kDbName)));
}

void EndToEndTest::enterAndAnswerARequest()
{
    // kim: F2, program, screen, company, title, request text, a capture, an attached
    // picture, F2.
    startAs(QStringLiteral("kim"), QStringLiteral("kpw"));
    QStringList known = visibleWindows();
    keys(QStringLiteral("F2"));
    QString editor = focusNewWindow(known, QStringLiteral("(HOST: "));
    QVERIFY2(!editor.isEmpty(), "the editor did not open");
    keys(QStringLiteral("Down Tab"));
    type(QStringLiteral("FrmPrint"));
    keys(QStringLiteral("Tab"));
    type(QStringLiteral("Hanbit"));
    keys(QStringLiteral("Tab"));
    type(QStringLiteral("Printing stops"));
    keys(QStringLiteral("Tab Tab Tab"));
    type(QStringLiteral("The print preview never ends."));
    keys(QStringLiteral("Tab Tab Tab Tab Tab Tab Tab space"));
    answer(QStringLiteral("Return")); // 지금 스크린샷을 찍을까요?
    answer(QStringLiteral("Return")); // 스샷을 찍었습니다!
    refocus(editor);
    keys(QStringLiteral("Tab space")); // 첨부사진
    QTest::qWait(1500);
    type(m_dir.filePath(QStringLiteral("question.jpg")));
    answer(QStringLiteral("Return Return"));
    refocus(editor);
    keys(QStringLiteral("F2"));

    QTRY_COMPARE_WITH_TIMEOUT(column(QStringLiteral("title")), QStringLiteral("Printing stops"), 10000);
    QCOMPARE(column(QStringLiteral("formname")), QStringLiteral("FrmPrint"));
    QCOMPARE(column(QStringLiteral("appcode")), QStringLiteral("1"));
    QCOMPARE(column(QStringLiteral("user_q")), QStringLiteral("kim"));
    QCOMPARE(column(QStringLiteral("sshot1")),
             QStringLiteral("\\\\fileserver\\사내문서\\7_AS스샷\\2_FrmPrint_0.jpg"));
    QCOMPARE(column(QStringLiteral("sshot2")),
             QStringLiteral("\\\\fileserver\\사내문서\\7_AS스샷\\2_FrmPrint_1.jpg"));
    QVERIFY(QImage(m_dir.filePath(kShareDir + QStringLiteral("/2_FrmPrint_0.jpg"))).width() >= 640);
    QCOMPARE(ReadFileBytes(m_dir.filePath(kShareDir + QStringLiteral("/2_FrmPrint_1.jpg"))),
             ReadFileBytes(m_dir.filePath(QStringLiteral("question.jpg"))));

    // lee, in charge of the program: F3 on the new first row, status, completion date,
    // solution, an attached picture in the answer half, F2.
    startAs(QStringLiteral("lee"), QStringLiteral("lpw"));
    known = visibleWindows();
    keys(QStringLiteral("F3"));
    editor = focusNewWindow(known, QStringLiteral("수정"));
    QVERIFY2(!editor.isEmpty(), "the editor did not open");
    keys(QStringLiteral("Tab Tab Tab Tab Tab Tab Down Down Return")); // 단기예정(1~2주이내)
    keys(QStringLiteral("Tab Tab space Tab Tab"));                    // 배포일시
    type(QStringLiteral("Fixed in 1.2"));
    keys(QStringLiteral("Tab Tab Tab Tab Tab Tab Tab Tab space"));
    QTest::qWait(1500);
    type(m_dir.filePath(QStringLiteral("answer.jpg")));
    answer(QStringLiteral("Return Return"));
    refocus(editor);
    keys(QStringLiteral("F2"));

    QTRY_COMPARE_WITH_TIMEOUT(column(QStringLiteral("solution")), QStringLiteral("Fixed in 1.2"), 10000);
    QCOMPARE(column(QStringLiteral("status")), QStringLiteral("단기예정(1~2주이내)"));
    QCOMPARE(column(QStringLiteral("user_a")), QStringLiteral("lee"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d -\\d\\d:\\d\\d$"))
                .match(column(QStringLiteral("ftpdate")))
                .hasMatch());
    QCOMPARE(column(QStringLiteral("sshot6")),
             QStringLiteral("\\\\fileserver\\사내문서\\7_AS스샷\\2_FrmPrint_5.jpg"));
    QCOMPARE(ReadFileBytes(m_dir.filePath(kShareDir + QStringLiteral("/2_FrmPrint_5.jpg"))),
             ReadFileBytes(m_dir.filePath(QStringLiteral("answer.jpg"))));
}

QTEST_GUILESS_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
