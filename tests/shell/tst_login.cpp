#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/SettingsStore.h"
#include "common/SiteConfig.h"
#include "platform/MacAddress.h"
#include "shell/Login.h"
#include "shell/frmLogin.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <cstdio>

Q_DECLARE_METATYPE(QList<NetAdapter>)

namespace {

const QString kDb = QStringLiteral("t_login");
const QString kSettingsApp = QString::fromUtf8(kLoginSettingsApp);

// Adapter addresses as the kernel reports them, and as user_mac holds them.
const QString kKimMac = QStringLiteral("02:fc:00:00:00:01");     // kim, allowed
const QString kLeeMac = QStringLiteral("0a:0b:0c:0d:0e:0f");     // lee, password with ' and \ .
const QString kParkMac = QStringLiteral("52:54:00:00:00:03");    // park, hidden user
const QString kChoiMac = QStringLiteral("52:54:00:00:00:04");    // choi, blocked PC
const QString kUnknownMac = QStringLiteral("52:54:00:00:00:99"); // not registered
const QString kLeePassword = QStringLiteral("it's\\mine");

NetAdapter ethernet(int index, const QString& address, bool up = true)
{
    NetAdapter a;
    a.index = index;
    a.name = QStringLiteral("eth%1").arg(index);
    a.address = address;
    a.up = up;
    a.hasIp = true;
    return a;
}

void useAdapters(const QList<NetAdapter>& adapters)
{
    SetNetAdaptersForTesting(adapters);
}
void usePc(const QString& mac)
{
    useAdapters({ethernet(2, mac)});
}

QString setting(const char* key)
{
    return GetSetting(kSettingsApp, QStringLiteral("Config"), QLatin1String(key), "<none>");
}

void remember(const QString& password, const QString& save)
{
    SaveSetting(kSettingsApp, QStringLiteral("Config"), QStringLiteral("passwd"), password);
    SaveSetting(kSettingsApp, QStringLiteral("Config"), QStringLiteral("issave_passwd"), save);
}

// Shows the window and lets its first activation run.
void activate(frmLogin& w)
{
    w.show();
    QCoreApplication::processEvents();
    // A successful auto-login has hidden it again.
    if (w.isVisible())
        QVERIFY(QTest::qWaitForWindowActive(&w));
}

// ---- child process: the window on a PC that the allow-list refuses ----

// The child's prompts go to stdout, one line each: "PROMPT <title> <text>" in base64.
int runRefusedChild(const QStringList& args)
{
    const QString db = args.value(0);
    const QString mac = args.value(1);
    SetAppDirForTesting(args.value(3));
    SiteConfig site;
    site.dbHost = TestDb::host(1);
    site.dbPort = args.value(2).toInt();
    SetSiteForTesting(site);
    gAppTitle = QString::fromUtf8(kAppTitle);
    SetNetAdaptersForTesting(mac.isEmpty() ? QList<NetAdapter>{} : QList<NetAdapter>{ethernet(2, mac)});
    InstallMsgReporter();
    SetMsgResponder([](const MsgPrompt& p) {
        std::printf("PROMPT %s %s\n", p.title.toUtf8().toBase64().constData(),
                    p.text.toUtf8().toBase64().constData());
        std::fflush(stdout);
        return MsgAnswer{};
    });
    frmLogin w(db);
    w.show();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    std::printf("STILL RUNNING user=%s\n", qPrintable(w.txtUserName->text()));
    return 99;
}

struct ChildResult
{
    int exitCode = -1;
    QList<QPair<QString, QString>> prompts; // title, text
    QString rest;
};

ChildResult runChild(const QString& mac, int port, const QString& appDir)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--refused-child"), kDb, mac, QString::number(port), appDir});
    ChildResult r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "PROMPT")
            r.prompts.append({QString::fromUtf8(QByteArray::fromBase64(parts[1])),
                              QString::fromUtf8(QByteArray::fromBase64(parts[2]))});
        else if (!line.isEmpty())
            r.rest += QString::fromUtf8(line) + QLatin1Char('\n');
    }
    return r;
}

} // namespace

class LoginTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void statements_data();
    void statements();
    void allowList_data();
    void allowList();
    void refusedPcEndsTheProcess_data();
    void refusedPcEndsTheProcess();
    void windowControls();
    void typedPasswordLogsIn_data();
    void typedPasswordLogsIn();
    void wrongPasswordMayBeRetried_data();
    void wrongPasswordMayBeRetried();
    void rememberedPasswordLogsInAtOnce();
    void staleRememberedPasswordLeavesWindowOpen();
    void clearingSaveForgetsThePassword();
    void tickingSaveRemembersThePassword();
    void typedPasswordSavedWhenTheBoxIsLeft_data();
    void typedPasswordSavedWhenTheBoxIsLeft();
    void cancelGivesUp();

private:
    TestEnv m_env;
    TestDb m_admin;
};

void LoginTest::initTestCase()
{
    QVERIFY2(m_admin.ok(), qPrintable(m_admin.error()));
    QVERIFY2(m_env.createDatabase(kDb), qPrintable(m_admin.error()));
    gAppTitle = QString::fromUtf8(kAppTitle);
    QVERIFY(m_admin.exec(QStringLiteral(
        "USE t_login;"
        "INSERT INTO user (id, name, password, groupcode, hidden) VALUES"
        " ('kim', '김철수', 'pw1', 3, 0), ('lee', '이영희', 'it''s\\\\mine', 7, 0),"
        " ('park', '박민수', 'pw3', 1, 1), ('choi', '최지우', 'pw4', 1, 0), ('ghost', '', '', 0, 0);"
        "INSERT INTO user_mac (user_id, mac_addr, block) VALUES"
        " ('kim', '02fc00000001', 0), ('lee', '0a0b0c0d0e0f', 0), ('park', '525400000003', 0),"
        " ('choi', '525400000004', 1), ('ghost', '', 0);")));
}

void LoginTest::init()
{
    DeleteSetting(kSettingsApp, QStringLiteral("Config"), QStringLiteral("passwd"));
    DeleteSetting(kSettingsApp, QStringLiteral("Config"), QStringLiteral("issave_passwd"));
    gUserId.clear();
    gUserName.clear();
    gGroupCode = 0;
    usePc(kKimMac);
}

void LoginTest::cleanup()
{
    SetNetAdaptersForTesting(std::nullopt);
}

void LoginTest::statements_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain")
        << "kim"
        << "pw1"
        << "SELECT *, now() as svrtime FROM user where id='kim' AND password='pw1' and hidden=0";
    QTest::newRow("quote and backslash")
        << "lee" << kLeePassword
        << "SELECT *, now() as svrtime FROM user where id='lee' AND password='it''s\\\\mine' and hidden=0";
    QTest::newRow("injection attempt")
        << "kim"
        << "' OR '1'='1"
        << "SELECT *, now() as svrtime FROM user where id='kim' AND password=''' OR ''1''=''1' and hidden=0";
    QTest::newRow("cut at nul")
        << "kim" << QStringLiteral("pw1") + QChar(0) + QStringLiteral("rest")
        << "SELECT *, now() as svrtime FROM user where id='kim' AND password='pw1' and hidden=0";
}

void LoginTest::statements()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, expected);
    QCOMPARE(LoginStatement(user, password), expected);
    QCOMPARE(AllowListStatement(QStringLiteral("02fc00000001")),
             QStringLiteral("SELECT user_id FROM user_mac WHERE mac_addr = '02fc00000001' AND block = 0"));
}

void LoginTest::allowList_data()
{
    QTest::addColumn<QList<NetAdapter>>("adapters");
    QTest::addColumn<QString>("user");
    QTest::newRow("allowed") << QList<NetAdapter>{ethernet(2, kKimMac)} << "kim";
    QTest::newRow("upper-case report") << QList<NetAdapter>{ethernet(2, kKimMac.toUpper())} << "kim";
    QTest::newRow("hidden user's pc") << QList<NetAdapter>{ethernet(2, kParkMac)} << "park";
    QTest::newRow("blocked") << QList<NetAdapter>{ethernet(2, kChoiMac)} << "";
    QTest::newRow("unknown") << QList<NetAdapter>{ethernet(2, kUnknownMac)} << "";
    QTest::newRow("first of two") << QList<NetAdapter>{ethernet(2, kLeeMac), ethernet(3, kKimMac)} << "lee";
    QTest::newRow("first is down") << QList<NetAdapter>{ethernet(2, kLeeMac, false), ethernet(3, kKimMac)}
                                   << "kim";
    QTest::newRow("first unknown, second allowed")
        << QList<NetAdapter>{ethernet(2, kUnknownMac), ethernet(3, kKimMac)} << "";
    // A row with an empty address must not let a PC without one in.
    QTest::newRow("no adapter") << QList<NetAdapter>{} << "";
}

void LoginTest::allowList()
{
    QFETCH(QList<NetAdapter>, adapters);
    QFETCH(QString, user);
    MsgRecorder msgs;
    useAdapters(adapters);
    QCOMPARE(GetAllowMyPC(kDb), user);
    QCOMPARE(msgs.texts(), QStringList());
}

void LoginTest::refusedPcEndsTheProcess_data()
{
    const QString refusal = QStringLiteral("허용되지 않은 컴퓨터입니다. 관리자에게 문의바랍니다.");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("port");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("unknown") << kUnknownMac << TestDb::port() << QStringList{refusal};
    QTest::newRow("blocked") << kChoiMac << TestDb::port() << QStringList{refusal};
    QTest::newRow("no address") << QString() << TestDb::port() << QStringList{refusal};
    QTest::newRow("server unreachable")
        << kKimMac << 1 << QStringList{QStringLiteral("<connection error>"), refusal};
}

void LoginTest::refusedPcEndsTheProcess()
{
    QFETCH(QString, mac);
    QFETCH(int, port);
    QFETCH(QStringList, texts);
    const ChildResult r = runChild(mac, port, m_env.appDir());
    QCOMPARE(r.rest, QString());
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.prompts.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QCOMPARE(r.prompts[i].first, QString::fromUtf8(kAppTitle));
        if (texts[i] == QLatin1String("<connection error>")) {
            QVERIFY2(r.prompts[i].second.startsWith(QStringLiteral("Error 200")),
                     qPrintable(r.prompts[i].second));
            QVERIFY(r.prompts[i].second.contains(QStringLiteral("데이터베이스 서버에 접속할 수 없습니다.")));
        } else {
            QCOMPARE(r.prompts[i].second, texts[i]);
        }
    }
}

void LoginTest::windowControls()
{
    frmLogin w(kDb);
    QCOMPARE(w.windowTitle(), QStringLiteral("로그인"));
    QCOMPARE(w.LoginSucceeded, false);
    const auto labels = w.findChildren<QLabel*>();
    QStringList captions;
    for (const QLabel* l : labels)
        captions << l->text();
    QCOMPARE(captions, (QStringList{QStringLiteral("아이디(&U):"), QStringLiteral("암호(&P):")}));
    QCOMPARE(labels[0]->buddy(), w.findChild<QLineEdit*>(QStringLiteral("txtUserName")));
    QCOMPARE(labels[1]->buddy(), w.findChild<QLineEdit*>(QStringLiteral("txtPassword")));
    QCOMPARE(w.findChild<QCheckBox*>(QStringLiteral("chkpwdSave"))->text(), QStringLiteral("저장"));
    QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("확인"));
    QVERIFY(w.cmdOK->isDefault());
    QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->text(), QStringLiteral("취소"));
    QCOMPARE(w.txtPassword->echoMode(), QLineEdit::Password);

    MsgRecorder msgs;
    activate(w);
    QCOMPARE(w.txtUserName->text(), QStringLiteral("kim"));
    QVERIFY(!w.txtUserName->isEnabled());
    QVERIFY(w.isVisible());
    QCOMPARE(msgs.count(), 0);
    // Later activations look nothing up again.
    usePc(kUnknownMac);
    w.hide();
    activate(w);
    QCOMPARE(w.txtUserName->text(), QStringLiteral("kim"));
    QCOMPARE(msgs.count(), 0);
}

void LoginTest::typedPasswordLogsIn_data()
{
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("group");
    QTest::newRow("kim") << kKimMac << "pw1"
                         << "kim"
                         << "김철수" << 3;
    QTest::newRow("quote and backslash") << kLeeMac << kLeePassword << "lee"
                                         << "이영희" << 7;
}

void LoginTest::typedPasswordLogsIn()
{
    QFETCH(QString, mac);
    QFETCH(QString, password);
    QFETCH(QString, user);
    QFETCH(QString, name);
    QFETCH(int, group);
    usePc(mac);
    MsgRecorder msgs;
    frmLogin w(kDb);
    activate(w);
    QVERIFY(w.isVisible());
    QTest::keyClicks(w.txtPassword, password);
    QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    QCOMPARE(msgs.texts(), QStringList());
    QVERIFY(w.LoginSucceeded);
    QVERIFY(!w.isVisible());
    QCOMPARE(gUserId, user);
    QCOMPARE(gUserName, name);
    QCOMPARE(int(gGroupCode), group);
    // Nothing is remembered unless asked for.
    QCOMPARE(setting(kPasswdKey), QStringLiteral("<none>"));
}

void LoginTest::wrongPasswordMayBeRetried_data()
{
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("wrong");
    QTest::addColumn<QString>("right");
    QTest::newRow("wrong password") << kKimMac << "pw2"
                                    << "pw1";
    QTest::newRow("quote without its pair") << kLeeMac << "it's" << kLeePassword;
    QTest::newRow("injection attempt") << kKimMac << "' OR '1'='1"
                                       << "pw1";
    QTest::newRow("hidden user") << kParkMac << "pw3"
                                 << "";
}

void LoginTest::wrongPasswordMayBeRetried()
{
    QFETCH(QString, mac);
    QFETCH(QString, wrong);
    QFETCH(QString, right);
    usePc(mac);
    MsgRecorder msgs;
    frmLogin w(kDb);
    activate(w);
    for (int attempt = 0; attempt < 2; ++attempt) {
        w.txtPassword->setFocus();
        w.txtPassword->setText(wrong);
        w.txtPassword->setSelection(0, 0);
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
        QCOMPARE(msgs.count(), attempt + 1);
        QCOMPARE(msgs.last().text, QStringLiteral("암호가 잘못되었습니다."));
        QCOMPARE(msgs.last().title, QStringLiteral("로그인"));
        QCOMPARE(msgs.last().buttons, MsgButtons::Ok);
        QVERIFY(w.isVisible());
        QVERIFY(!w.LoginSucceeded);
        QVERIFY(w.txtPassword->hasFocus());
        QCOMPARE(w.txtPassword->selectedText(), wrong);
    }
    if (right.isEmpty())
        return;
    w.txtPassword->setText(right);
    QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    QCOMPARE(msgs.count(), 2);
    QVERIFY(w.LoginSucceeded);
    QVERIFY(!w.isVisible());
}

void LoginTest::rememberedPasswordLogsInAtOnce()
{
    remember(QStringLiteral("pw1"), QStringLiteral("1"));
    MsgRecorder msgs;
    frmLogin w(kDb);
    QCOMPARE(w.txtPassword->text(), QStringLiteral("pw1"));
    QVERIFY(w.chkpwdSave->isChecked());
    activate(w);
    QCOMPARE(msgs.texts(), QStringList());
    QVERIFY(w.LoginSucceeded);
    QVERIFY(!w.isVisible());
    QCOMPARE(gUserId, QStringLiteral("kim"));
}

void LoginTest::staleRememberedPasswordLeavesWindowOpen()
{
    remember(QStringLiteral("old-password"), QStringLiteral("1"));
    MsgRecorder msgs;
    frmLogin w(kDb);
    activate(w);
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("암호가 잘못되었습니다.")});
    QVERIFY(w.isVisible());
    QVERIFY(!w.LoginSucceeded);
    QVERIFY(w.txtPassword->hasFocus());
    QCOMPARE(w.txtPassword->selectedText(), QStringLiteral("old-password"));
    // Typing the right one over the selection logs in.
    QTest::keyClicks(w.txtPassword, QStringLiteral("pw1"));
    QTest::keyClick(w.txtPassword, Qt::Key_Return);
    QVERIFY(w.LoginSucceeded);
    QCOMPARE(msgs.count(), 1);
}

void LoginTest::clearingSaveForgetsThePassword()
{
    remember(QStringLiteral("old-password"), QStringLiteral("1"));
    {
        MsgRecorder msgs;
        frmLogin w(kDb);
        activate(w);
        QCOMPARE(msgs.count(), 1);
        QTest::mouseClick(w.chkpwdSave, Qt::LeftButton);
        QVERIFY(!w.chkpwdSave->isChecked());
        QCOMPARE(setting(kSavePasswdKey), QStringLiteral("0"));
        QCOMPARE(setting(kPasswdKey), QString());
    }
    // The next start asks for the password.
    MsgRecorder msgs;
    frmLogin w(kDb);
    QCOMPARE(w.txtPassword->text(), QString());
    QVERIFY(!w.chkpwdSave->isChecked());
    activate(w);
    QCOMPARE(msgs.count(), 0);
    QVERIFY(w.isVisible());
    QVERIFY(!w.LoginSucceeded);
}

void LoginTest::tickingSaveRemembersThePassword()
{
    MsgRecorder msgs;
    {
        frmLogin w(kDb);
        // Values set while the window is not shown are not stored.
        w.chkpwdSave->click();
        QCOMPARE(setting(kSavePasswdKey), QStringLiteral("<none>"));
        w.chkpwdSave->setChecked(false);
        activate(w);
        w.txtPassword->setText(QStringLiteral("pw1"));
        QTest::mouseClick(w.chkpwdSave, Qt::LeftButton);
        QCOMPARE(setting(kSavePasswdKey), QStringLiteral("1"));
        QCOMPARE(setting(kPasswdKey), QStringLiteral("pw1"));
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
        QVERIFY(w.LoginSucceeded);
    }
    // Stored as plain text in the settings file of "타벤 업무관리".
    QFile file(SettingsFilePath(kSettingsApp));
    QVERIFY(file.fileName().endsWith(QStringLiteral("/asmanager/타벤 업무관리.ini")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.contains(QStringLiteral("[Config]")) && text.contains(QStringLiteral("issave_passwd=1")) &&
                 text.contains(QStringLiteral("passwd=pw1")),
             qPrintable(text));
    frmLogin again(kDb);
    activate(again);
    QVERIFY(again.LoginSucceeded);
    QCOMPARE(msgs.count(), 0);
}

void LoginTest::typedPasswordSavedWhenTheBoxIsLeft_data()
{
    QTest::addColumn<bool>("saveTicked");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("ticked and typed") << true << true << "new-secret";
    QTest::newRow("ticked, not typed") << true << false << "pw1";
    QTest::newRow("not ticked") << false << true << "pw1";
}

void LoginTest::typedPasswordSavedWhenTheBoxIsLeft()
{
    QFETCH(bool, saveTicked);
    QFETCH(bool, typed);
    QFETCH(QString, stored);
    remember(QStringLiteral("pw1"), saveTicked ? QStringLiteral("1") : QStringLiteral("0"));
    MsgRecorder msgs;
    // A hidden user's PC: the remembered password does not log in.
    usePc(kParkMac);
    frmLogin w(kDb);
    QCOMPARE(w.txtPassword->text(), QStringLiteral("pw1"));
    activate(w);
    QCOMPARE(msgs.count(), 1);
    w.txtPassword->setFocus();
    QVERIFY(w.txtPassword->hasFocus());
    if (typed) {
        w.txtPassword->selectAll();
        QTest::keyClicks(w.txtPassword, QStringLiteral("new-secret"));
    }
    w.chkpwdSave->setFocus();
    QVERIFY(!w.txtPassword->hasFocus());
    QCOMPARE(setting(kPasswdKey), stored);
}

void LoginTest::cancelGivesUp()
{
    remember(QStringLiteral("stale"), QStringLiteral("1"));
    MsgRecorder msgs;
    frmLogin w(kDb);
    activate(w);
    QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.LoginSucceeded);
    QCOMPARE(gUserId, QString());
    QCOMPARE(setting(kPasswdKey), QStringLiteral("stale"));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--refused-child")
        return runRefusedChild(QApplication::arguments().mid(2));
    LoginTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_login.moc"
