#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/Globals.h"
#include "common/SiteConfig.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "editor/RecordStatements.h"
#include "journal/DesktopNotices.h"
#include "journal/JournalPoll.h"
#include "records/FrmMain.h"
#include "shell/DesktopNoticeSetup.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString kDb = QStringLiteral("t_notices");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
} // namespace

// The desktop's notification service, as far as a test needs it: it keeps what it was
// asked to show.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString summary, body;
        QStringList actions;
    };
    QList<Shown> shown;

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        shown.append({summary, body, actions});
        return uint(shown.size());
    }
};

class NoticesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void oneClientIsToldOfTheOthersSave();
    void theProgramTellsAndOpensTheRecord();
    void noSessionBusMeansNoNotices();

private:
    TestEnv m_env;
    QProcess m_bus;
    NotificationServer m_server;
};

void NoticesTest::initTestCase()
{
    // A session bus of the test's own, with the notification service on it.
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(m_bus.waitForStarted());
    QTRY_VERIFY(m_bus.canReadLine());
    const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("service"));
    QVERIFY(service.isConnected());
    QVERIFY(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    QVERIFY(service.registerObject(kPath, &m_server, QDBusConnection::ExportAllSlots));

    QVERIFY(m_env.createDatabase(kDb));
    QVERIFY(TestDb().exec(
        QStringLiteral("INSERT INTO t_notices.part (code, name, chargeid) VALUES (1, '급여', 'ans');"
                       "INSERT INTO t_notices.user (id, name) VALUES ('ask', '이요청'), ('ans', "
                       "'김답변')")));
}

void NoticesTest::cleanupTestCase()
{
    CloseDB();
    m_bus.kill();
    m_bus.waitForFinished();
}

void NoticesTest::oneClientIsToldOfTheOthersSave()
{
    MsgRecorder msgs;
    // The asker's client watches the journal ...
    QVERIFY(m_env.connect(kDb));
    JournalPoll poll(QStringLiteral("ask"));
    DesktopNotices notices;
    QVERIFY(notices.available());
    connect(&poll, &JournalPoll::noticesArrived, &notices, [&](const QList<Notice>& list) {
        for (const Notice& n : list)
            notices.show(n);
    });
    poll.start(*gDB[0], 1);
    QTRY_VERIFY(poll.lastId() >= 0);

    // ... while the asker's own new request and the answerer's save arrive, the save
    // through the answerer's connection.
    gDB[0]->setSessionUser(QStringLiteral("ask"));
    RecordValues v;
    v.programCode = 1;
    v.title = QStringLiteral("급여 계산 오류");
    v.askId = QStringLiteral("ask");
    v.status = QStringLiteral("요청대기");
    QCOMPARE(ExecSQL(InsertRecordSql(v)), 1L);
    const long seq = GetInsertId();
    cMySQL answerer;
    QVERIFY(answerer.real_connect(TestDb::host(), gDB[0]->user(), gDB[0]->password(), kDb, TestDb::port()));
    answerer.setSessionUser(QStringLiteral("ans"));
    v.ansId = QStringLiteral("ans");
    v.solution = QStringLiteral("설정에서 '기준일'을 바꾸세요.");
    v.status = QStringLiteral("배포완료");
    answerer.query(UpdateRecordSql(v, seq));
    QCOMPARE(answerer.affected_rows(), 1L);

    QTRY_COMPARE_WITH_TIMEOUT(m_server.shown.size(), 1, 20000);
    QCOMPARE(m_server.shown[0].summary, QStringLiteral("A/S %1: 급여 계산 오류").arg(seq));
    QCOMPARE(m_server.shown[0].body,
             QStringLiteral("요청하신 건에 답변이 등록되었습니다.\n처리자: (없음) → ans\n"
                            "해결책 등록\n상태: 요청대기 → 배포완료"));
    // Clicking the notice names the record.
    QSignalSpy activated(&notices, &DesktopNotices::activated);
    QDBusMessage click = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("ActionInvoked"));
    click << uint(1) << QStringLiteral("default");
    QVERIFY(QDBusConnection(QStringLiteral("service")).send(click));
    QTRY_COMPARE(activated.size(), 1);
    QCOMPARE(activated[0][0].value<long>(), seq);

    // The poll's connection is lost (a server restart): looks fail silently and the
    // next change after the reconnect is told once.
    TestDb admin;
    for (const QString& id :
         admin.rows(QStringLiteral("SELECT ID FROM information_schema.PROCESSLIST WHERE DB = '%1'").arg(kDb)))
        admin.exec(QStringLiteral("KILL ") + id);
    QVERIFY(
        admin.exec(QStringLiteral("SET @as_appuser = 'ans'; UPDATE t_notices.aslist SET status = '환경문제' "
                                  "WHERE seq = %1")
                       .arg(seq)));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.shown.size(), 2, 20000);
    QCOMPARE(m_server.shown[1].body,
             QStringLiteral("요청하신 건의 상태가 바뀌었습니다.\n상태: 배포완료 → 환경문제"));
    QCOMPARE(msgs.count(), 0);
}

void NoticesTest::theProgramTellsAndOpensTheRecord()
{
    MsgRecorder msgs;
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    const QString error = OpenListDatabase(m_env, QStringLiteral("t_notices_main"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    SiteConfig site = Site();
    site.notifySeconds = 1;
    SetSiteForTesting(site);
    TestDb admin;
    QVERIFY(admin.exec(
        QStringLiteral("INSERT INTO t_notices_main.aslist (appcode, title, user_q, qusdate, status) "
                       "VALUES (1, '알림 건', 'kim', '2026-10-01 09:00', '요청대기')")));
    const long seq = admin.value(QStringLiteral("SELECT MAX(seq) FROM t_notices_main.aslist")).toLong();
    QVERIFY(admin.exec(
        QStringLiteral(
            "INSERT INTO t_notices_main.ascomp (`user`, comname, ascode) VALUES ('kim', 'TAVEN', %1)")
            .arg(seq)));

    FrmMain w;
    StartDesktopNotices(&w);
    w.Form_Load();
    const qsizetype before = m_server.shown.size();
    QVERIFY(admin.exec(
        QStringLiteral("SET @as_appuser = 'lee'; UPDATE t_notices_main.aslist SET status = '배포완료' "
                       "WHERE seq = %1")
            .arg(seq)));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.shown.size(), before + 1, 20000);
    QCOMPARE(m_server.shown.last().summary, QStringLiteral("A/S %1: 알림 건").arg(seq));
    QDBusMessage click = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("ActionInvoked"));
    click << uint(m_server.shown.size()) << QStringLiteral("default");
    QVERIFY(QDBusConnection(QStringLiteral("service")).send(click));
    QTRY_COMPARE(w.GetRowSeq(-2), seq);
    QCOMPARE(msgs.count(), 0);
    CloseDB();
}

void NoticesTest::noSessionBusMeansNoNotices()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^asmanager: no session bus")));
    DesktopNotices notices(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none")));
    QVERIFY(!notices.available());
    notices.show(Notice{1, QStringLiteral("t"), NoticeReason::NewRequestForMe, {}});
}

QTEST_MAIN(NoticesTest)
#include "tst_notices.moc"
