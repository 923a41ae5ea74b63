#include "ListData.h"
#include "Modal.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Globals.h"
#include "common/SiteConfig.h"
#include "db/DbStartup.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "records/MainCommands.h"

#include <QDir>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

const QString kDb = QStringLiteral("t_commands");
const QString kShare = QStringLiteral("\\\\DemoShare\\사내문서\\7_AS스샷\\");
const QString kAsk = QStringLiteral("선택된 자료를 정말로 삭제하시겠습니까?\r\n"
                                    "현재자료를 삭제하시면 관련된 업체명도 함께 삭제 됩니다.");
const QString kAskCompany = QStringLiteral("선택된 자료를 정말로 삭제하시겠습니까?");
const QString kOthers = QStringLiteral("다른 사람의 자료는 삭제할 수 없습니다.");
const QString kSelectDelete = QStringLiteral("먼저 그리드에서 삭제할 자료를 선택하세요.");
const QString kDeleted = QStringLiteral(" 자료를 삭제하였습니다./T500");

QStringList keysOf(const SpreadGrid* spList)
{
    QStringList keys;
    for (int row = 1; row <= spList->MaxRows(); ++row)
        keys << GridCell(spList, ListColKey, row);
    return keys;
}

bool writeShot(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return picture.save(path, "JPEG");
}

} // namespace

// The main window's commands against a real database and real screenshot files.
// The list at start holds records 6, 4, 3, 2, 1 (askers kim, -, park, lee, kim).
class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void statements_data();
    void statements();
    void ownedShotFiles_data();
    void ownedShotFiles();
    void deleteByTheAskerRemovesRowsThenOwnedFiles();
    void failedRowDeleteKeepsTheFiles();
    void recordDeleteRefusals_data();
    void recordDeleteRefusals();
    void companyDelete_data();
    void companyDelete();
    void triggers_data();
    void triggers();
    void excelImportOpens_data();
    void excelImportOpens();
    void closeSavesAMovedWindowOnly_data();
    void closeSavesAMovedWindowOnly();

private:
    std::unique_ptr<FrmMain> open(int listRow = 1);
    QString serverCount(const QString& sql);

    TestEnv m_env;
    QString m_mount;
};

void CommandsTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    m_mount = m_env.path(QStringLiteral("share"));
    UseShareFolder(m_mount);

    QVERIFY(InstallFloatMsgStandIn(m_env.appDir()));
}

void CommandsTest::init()
{
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    ClearFloatMsgLog(m_env.appDir());
    QDir(m_env.path(QStringLiteral("FormIni"))).removeRecursively();
    QDir(m_mount).removeRecursively();
    QDir(m_env.path(QStringLiteral("스샷"))).removeRecursively();
}

void CommandsTest::cleanup()
{
    CloseDB();
}

std::unique_ptr<FrmMain> CommandsTest::open(int listRow)
{
    auto w = std::make_unique<FrmMain>();
    w->Form_Load();
    if (listRow != 1) {
        w->spList->SetActiveCell(ListColQusDate, listRow);
        w->DispDetail(listRow);
    }
    return w;
}

QString CommandsTest::serverCount(const QString& sql)
{
    TestDb db;
    return db.value(QStringLiteral("SELECT COUNT(*) FROM %1.%2").arg(kDb, sql));
}

void CommandsTest::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("shots") << ShotPathsSql(12)
                           << QStringLiteral(
                                  "SELECT sshot1,sshot2,sshot3,sshot4,sshot5 ,sshot6,sshot7,sshot8,"
                                  "sshot9,sshot10  FROM aslist WHERE seq = 12");
    QTest::newRow("record") << DeleteRecordSql(12) << QStringLiteral("DELETE FROM aslist WHERE seq = 12");
    QTest::newRow("its companies") << DeleteRecordCompaniesSql(12)
                                   << QStringLiteral("DELETE FROM ascomp WHERE ascode = 12");
    QTest::newRow("company") << DeleteCompanySql(7) << QStringLiteral("DELETE FROM ascomp WHERE seq = 7");
}

void CommandsTest::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void CommandsTest::ownedShotFiles_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("owned"); // relative to the test's folder; "" for none
    QTest::newRow("share") << kShare + QStringLiteral("1_FrmSale_1.jpg")
                           << QStringLiteral("share/사내문서/7_AS스샷/1_FrmSale_1.jpg");
    QTest::newRow("share, host in other case") << QStringLiteral("\\\\DEMOSHARE\\사내문서\\7_AS스샷\\a.jpg")
                                               << QStringLiteral("share/사내문서/7_AS스샷/a.jpg");
    QTest::newRow("capture folder") << m_env.path(QStringLiteral("스샷/cap.jpg"))
                                    << QStringLiteral("스샷/cap.jpg");
    QTest::newRow("user's own file") << m_env.path(QStringLiteral("mine/photo.jpg")) << QString();
    QTest::newRow("folder named like the capture folder")
        << m_env.path(QStringLiteral("스샷2/cap.jpg")) << QString();
    QTest::newRow("climbing out of the capture folder")
        << m_env.path(QStringLiteral("스샷/../mine/photo.jpg")) << QString();
    QTest::newRow("other server") << QStringLiteral("\\\\other\\사내문서\\a.jpg") << QString();
    QTest::newRow("empty") << QString() << QString();
    // Stored paths come from any client: only the two folders count, whatever the path says.
    QTest::newRow("another folder of the share")
        << QStringLiteral("\\\\DemoShare\\경리\\급여.xls") << QString();
    QTest::newRow("the share's top") << QStringLiteral("\\\\DemoShare\\x.jpg") << QString();
    QTest::newRow("climbing out of the share")
        << QStringLiteral("\\\\DemoShare\\사내문서\\..\\..\\mine\\photo.jpg") << QString();
    QTest::newRow("climbing out of the screenshot folder")
        << kShare + QStringLiteral("..\\급여.xls") << QString();
    QTest::newRow("the screenshot folder itself") << kShare.chopped(1) << QString();
    QTest::newRow("link out of the screenshot folder") << kShare + QStringLiteral("link.jpg") << QString();
    QTest::newRow("link to the disk in the capture folder")
        << m_env.path(QStringLiteral("스샷/disk/etc/passwd")) << QString();
    QTest::newRow("dangling link") << m_env.path(QStringLiteral("스샷/dangling.jpg")) << QString();
    QTest::newRow("climbing back into the screenshot folder")
        << kShare + QStringLiteral("sub\\..\\b.jpg") << QStringLiteral("share/사내문서/7_AS스샷/b.jpg");
    QTest::newRow("forward slashes") << QStringLiteral("\\\\DemoShare\\사내문서/7_AS스샷/c.jpg")
                                     << QStringLiteral("share/사내문서/7_AS스샷/c.jpg");
    QTest::newRow("capture folder, climbing back in")
        << m_env.path(QStringLiteral("스샷/../스샷/cap.jpg")) << QStringLiteral("스샷/cap.jpg");
}

void CommandsTest::ownedShotFiles()
{
    QFETCH(QString, stored);
    QFETCH(QString, owned);
    for (const QString& folder : {QStringLiteral("share/사내문서/7_AS스샷"), QStringLiteral("share/경리"),
                                  QStringLiteral("스샷"), QStringLiteral("스샷2"), QStringLiteral("mine")})
        QVERIFY(QDir().mkpath(m_env.path(folder)));
    for (const char* file :
         {"mine/photo.jpg", "share/경리/급여.xls", "share/사내문서/급여.xls", "share/x.jpg"})
        QVERIFY(writeShot(m_env.path(QString::fromUtf8(file))));
    QFile::link(m_env.path(QStringLiteral("mine/photo.jpg")),
                m_env.path(QStringLiteral("share/사내문서/7_AS스샷/link.jpg")));
    QFile::link(QStringLiteral("/"), m_env.path(QStringLiteral("스샷/disk")));
    QFile::link(m_env.path(QStringLiteral("mine/gone.jpg")), m_env.path(QStringLiteral("스샷/dangling.jpg")));
    const QString local = OwnedShotFile(stored);
    if (owned.isEmpty())
        QCOMPARE(local, QString());
    else
        QCOMPARE(local, QDir(m_env.appDir()).canonicalPath() + QLatin1Char('/') + owned);
}

void CommandsTest::deleteByTheAskerRemovesRowsThenOwnedFiles()
{
    const QString shot1 = m_mount + QStringLiteral("/사내문서/7_AS스샷/1_FrmSale_1.jpg");
    const QString shot6 = m_mount + QStringLiteral("/사내문서/7_AS스샷/1_FrmSale_6.jpg");
    const QString capture = m_env.path(QStringLiteral("스샷/cap.jpg"));
    const QString own = m_env.path(QStringLiteral("mine/photo.jpg"));
    const QString payroll = m_mount + QStringLiteral("/경리/급여.xls");
    for (const QString& file : {shot1, shot6, capture, own, payroll})
        QVERIFY(writeShot(file));
    QVERIFY(SetShotPaths(kDb, 1,
                         {kShare + QStringLiteral("1_FrmSale_1.jpg"), capture, own,
                          kShare + QStringLiteral("1_FrmSale_4.jpg") /* gone already */, QString(),
                          kShare + QStringLiteral("1_FrmSale_6.jpg"),
                          QStringLiteral("\\\\DemoShare\\경리\\급여.xls"),
                          kShare + QStringLiteral("..\\..\\..\\mine\\photo.jpg")}));

    MsgRecorder msgs;
    msgs.answer(vbYes);
    auto w = open(5); // record 1, asked by kim
    QTest::mouseClick(w->btnDel, Qt::LeftButton);

    QCOMPARE(msgs.texts(), QStringList{kAsk});
    QCOMPARE(msgs.last().icon, MsgIcon::Question);
    QCOMPARE(msgs.last().buttons, MsgButtons::YesNo);
    QCOMPARE(msgs.last().defaultButton, int(vbYes));
    QCOMPARE(serverCount(QStringLiteral("aslist WHERE seq = 1")), QStringLiteral("0"));
    QCOMPARE(serverCount(QStringLiteral("ascomp WHERE ascode = 1")), QStringLiteral("0"));
    QCOMPARE(serverCount(QStringLiteral("ascomp")), QStringLiteral("4")); // other records keep theirs
    QVERIFY(!QFile::exists(shot1));
    QVERIFY(!QFile::exists(shot6));
    QVERIFY(!QFile::exists(capture));
    QVERIFY(QFile::exists(own));     // a picture attached from elsewhere stays
    QVERIFY(QFile::exists(payroll)); // and so does every file outside the two folders
    QCOMPARE(keysOf(w->spList), (QStringList{"6", "4", "3", "2"}));
    QTRY_COMPARE(FloatMsgLog(m_env.appDir()), QStringList{kDeleted});
}

void CommandsTest::failedRowDeleteKeepsTheFiles()
{
    const QString shot = m_mount + QStringLiteral("/사내문서/7_AS스샷/6_FrmSale_1.jpg");
    QVERIFY(writeShot(shot));
    QVERIFY(SetShotPaths(kDb, 6, {kShare + QStringLiteral("6_FrmSale_1.jpg")}));
    TestDb db;
    QVERIFY2(db.exec(QStringLiteral("CREATE TRIGGER %1.keep_aslist BEFORE DELETE ON %1.aslist FOR EACH ROW "
                                    "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'locked'")
                         .arg(kDb)),
             qPrintable(db.error()));

    MsgRecorder msgs;
    msgs.answer(vbYes);
    auto w = open();
    w->RecDelete();

    QCOMPARE(msgs.count(), 3); // the question, the statement's error, the warning
    QVERIFY2(msgs.texts()[1].contains(QStringLiteral("locked")), qPrintable(msgs.texts()[1]));
    QCOMPARE(msgs.last().text, QStringLiteral("이미삭제되었거나, 오류가 발생했습니다."));
    QCOMPARE(msgs.last().icon, MsgIcon::Exclamation);
    QVERIFY(QFile::exists(shot));
    QCOMPARE(serverCount(QStringLiteral("ascomp WHERE ascode = 6")), QStringLiteral("1"));
    QCOMPARE(keysOf(w->spList), (QStringList{"6", "4", "3", "2", "1"}));
    QCOMPARE(FloatMsgLog(m_env.appDir()), QStringList());
}

void CommandsTest::recordDeleteRefusals_data()
{
    QTest::addColumn<int>("listRow"); // 0: empty list
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("asked by park") << 3 << 0 << QStringList{kOthers};
    QTest::newRow("no asker") << 2 << 0 << QStringList{kOthers};
    QTest::newRow("empty list") << 0 << 0 << QStringList{kSelectDelete};
    QTest::newRow("own record, No") << 1 << int(vbNo) << QStringList{kAsk};
}

void CommandsTest::recordDeleteRefusals()
{
    QFETCH(int, listRow);
    QFETCH(int, answer);
    QFETCH(QStringList, texts);
    const QString shot = m_mount + QStringLiteral("/사내문서/7_AS스샷/x.jpg");
    QVERIFY(writeShot(shot));
    for (int seq : {3, 4, 6})
        QVERIFY(SetShotPaths(kDb, seq, {kShare + QStringLiteral("x.jpg")}));

    MsgRecorder msgs;
    if (answer)
        msgs.answer(answer);
    auto w = open(std::max(listRow, 1));
    if (listRow == 0)
        w->spList->SetMaxRows(0);
    w->RecDelete();

    QCOMPARE(msgs.texts(), texts);
    if (texts.first() != kAsk)
        QCOMPARE(msgs.last().icon, MsgIcon::Information);
    QCOMPARE(serverCount(QStringLiteral("aslist")), QStringLiteral("6"));
    QCOMPARE(serverCount(QStringLiteral("ascomp")), QStringLiteral("6"));
    QVERIFY(QFile::exists(shot));
    QCOMPARE(w->spList->MaxRows(), listRow == 0 ? 0 : 5);
}

void CommandsTest::companyDelete_data()
{
    QTest::addColumn<int>("listRow");     // 0: empty list
    QTest::addColumn<QString>("comUser"); // the active spCom row is this user's
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("companies"); // of the record on the server afterwards
    QTest::addColumn<QString>("count");     // list column 10 afterwards
    const QString last = QStringLiteral(" 업체명은 최소 1건 이상이여야 합니다.");
    QTest::newRow("own, last one") << 1 << "kim" << 0 << QStringList{last} << "1"
                                   << "1";
    QTest::newRow("someone else's, last one") << 4 << "lee" << 0 << QStringList{last} << "1"
                                              << "1";
    QTest::newRow("someone else's") << 5 << "lee" << 0 << QStringList{kOthers} << "2"
                                    << "2";
    QTest::newRow("own, No") << 5 << "kim" << int(vbNo) << QStringList{kAskCompany} << "2"
                             << "2";
    QTest::newRow("own, Yes") << 5 << "kim" << int(vbYes) << QStringList{kAskCompany} << "1"
                              << "1";
    QTest::newRow("no record") << 0 << "" << 0 << QStringList{kSelectDelete} << ""
                               << "";
}

void CommandsTest::companyDelete()
{
    QFETCH(int, listRow);
    QFETCH(QString, comUser);
    QFETCH(int, answer);
    QFETCH(QStringList, texts);
    QFETCH(QString, companies);
    QFETCH(QString, count);

    MsgRecorder msgs;
    if (answer)
        msgs.answer(answer);
    auto w = open(std::max(listRow, 1));
    if (listRow == 0) {
        w->spList->SetMaxRows(0);
        w->ClearDetail();
    }
    for (int row = 1; row <= w->spCom->MaxRows(); ++row)
        if (GridCell(w->spCom, ComColUserId, row) == comUser)
            w->spCom->SetActiveCell(1, row);
    const QString seq = listRow ? GridCell(w->spList, ListColKey, listRow) : QString();
    QTest::mouseClick(w->btnComDel, Qt::LeftButton);

    QCOMPARE(msgs.texts(), texts);
    if (texts.first().startsWith(QLatin1Char(' '))) {
        QCOMPARE(msgs.last().icon, MsgIcon::None);
        QCOMPARE(msgs.last().title, gAppTitle);
    } else if (texts.first() == kAskCompany) {
        QCOMPARE(msgs.last().defaultButton, int(vbYes));
    }
    if (listRow == 0) {
        QCOMPARE(serverCount(QStringLiteral("ascomp")), QStringLiteral("6"));
        return;
    }
    QCOMPARE(serverCount(QStringLiteral("ascomp WHERE ascode = ") + seq), companies);
    QCOMPARE(QString::number(w->spCom->MaxRows()), companies);
    QCOMPARE(GridCell(w->spList, ListColCount, listRow), count);
    if (answer == vbYes) {
        QCOMPARE(GridCell(w->spCom, ComColUserId, 1), QStringLiteral("lee"));
        QTRY_COMPARE(FloatMsgLog(m_env.appDir()), QStringList{kDeleted});
    }
}

void CommandsTest::triggers_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<bool>("emptyList");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("editor"); // "new", "edit" or "" for none
    QTest::addColumn<int>("deleted");    // record deleted, 0 for none
    const QString select = QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요.");
    QTest::newRow("btnAdd") << "btnAdd" << false << QStringList() << "new" << 0;
    QTest::newRow("F2, empty list") << "F2" << true << QStringList() << "new" << 0;
    QTest::newRow("btnEdit") << "btnEdit" << false << QStringList() << "edit" << 0;
    QTest::newRow("F3") << "F3" << false << QStringList() << "edit" << 0;
    QTest::newRow("Enter") << "Enter" << false << QStringList() << "edit" << 0;
    QTest::newRow("Space") << "Space" << false << QStringList() << "edit" << 0;
    QTest::newRow("double-click") << "dblclick" << false << QStringList() << "edit" << 0;
    QTest::newRow("double-click on the header") << "header" << false << QStringList() << "" << 0;
    QTest::newRow("F3, empty list") << "F3" << true << QStringList{select} << "" << 0;
    QTest::newRow("double-click, empty list") << "dblclick" << true << QStringList{select} << "" << 0;
    QTest::newRow("F4") << "F4" << false << QStringList{kAsk} << "" << 6;
    QTest::newRow("Delete") << "Delete" << false << QStringList{kAsk} << "" << 6;
}

void CommandsTest::triggers()
{
    QFETCH(QString, trigger);
    QFETCH(bool, emptyList);
    QFETCH(QStringList, texts);
    QFETCH(QString, editor);
    QFETCH(int, deleted);

    MsgRecorder msgs;
    msgs.answer(vbYes);
    auto w = open();
    if (emptyList)
        w->spList->SetMaxRows(0);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->spList->setFocus();
    QSignalSpy requested(w.get(), &FrmMain::EditorRequested);
    gCurSeq = 0;

    const QMap<QString, Qt::Key> keys{{"F2", Qt::Key_F2},       {"F3", Qt::Key_F3},
                                      {"F4", Qt::Key_F4},       {"Enter", Qt::Key_Return},
                                      {"Space", Qt::Key_Space}, {"Delete", Qt::Key_Delete}};
    if (keys.contains(trigger))
        QTest::keyClick(w->spList, keys[trigger]);
    else if (trigger == QStringLiteral("dblclick"))
        emit w->spList->DblClick(ListColTitle, 1);
    else if (trigger == QStringLiteral("header"))
        emit w->spList->DblClick(ListColTitle, 0);
    else
        QTest::mouseClick(w->findChild<QPushButton*>(trigger), Qt::LeftButton);

    QCOMPARE(msgs.texts(), texts);
    QCOMPARE(requested.size(), editor.isEmpty() ? 0 : 1);
    if (!editor.isEmpty())
        QCOMPARE(requested.first().first().toBool(), editor == QStringLiteral("new"));
    if (editor == QStringLiteral("edit"))
        QCOMPARE(gCurSeq, 6);
    QCOMPARE(serverCount(QStringLiteral("aslist")), QString::number(deleted ? 5 : 6));
}

void CommandsTest::excelImportOpens_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Command1") << false;
    QTest::newRow("Ctrl+Shift+I from the list") << true;
}

// The import's button stays hidden; its key opens the import from any control.
void CommandsTest::excelImportOpens()
{
    QFETCH(bool, byKey);
    MsgRecorder msgs;
    auto w = open();
    QVERIFY(w->Command1->isHidden());
    if (byKey) {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    QString opened;
    OnNextModal([&](QWidget* modal) { opened = modal->objectName(); });
    if (byKey) {
        QTest::keyClick(w->spList, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
        w->Command1->click();
    }
    QCOMPARE(opened, QStringLiteral("Form2"));
}

void CommandsTest::closeSavesAMovedWindowOnly_data()
{
    QTest::addColumn<bool>("resized");
    QTest::addColumn<bool>("viaBtnClose");
    QTest::addColumn<bool>("saved");
    QTest::newRow("unchanged") << false << false << false;
    QTest::newRow("resized") << true << false << true;
    QTest::newRow("resized, btnClose") << true << true << false;
}

void CommandsTest::closeSavesAMovedWindowOnly()
{
    QFETCH(bool, resized);
    QFETCH(bool, viaBtnClose);
    QFETCH(bool, saved);

    MsgRecorder msgs;
    auto w = open();
    QSignalSpy unloaded(w.get(), &FrmMain::Unloaded);
    if (resized)
        w->resize(900, 600);
    if (viaBtnClose)
        QTest::mouseClick(w->btnClose, Qt::LeftButton);
    else
        w->close();

    QCOMPARE(unloaded.size(), 1);
    QFile ini(m_env.path(QStringLiteral("FormIni/FrmMain.ini")));
    QCOMPARE(ini.exists(), saved);
    if (saved) {
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(ini.readAll());
        QVERIFY2(text.contains(QStringLiteral("Width=13500")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Height=9000")), qPrintable(text));
    }
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
