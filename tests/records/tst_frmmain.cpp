#include "ListData.h"
#include "Modal.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Globals.h"
#include "common/SettingsStore.h"
#include "common/SiteConfig.h"
#include "controls/HCCombo.h"
#include "db/DbStartup.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ShotBox.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

const QString kDb = QStringLiteral("t_frmmain");
const QString kShotFolder = QStringLiteral("\\\\DemoShare\\사내문서\\7_AS스샷\\");

QStringList entries(const HCCombo* c)
{
    QStringList out;
    for (int i = 0; i < c->ListCount(); ++i)
        out << c->List(i) + QLatin1Char('|') + c->List2(i);
    return out;
}

// The text of every shown column of a list row, then the hidden ones.
QString rowText(const SpreadGrid* grid, int row)
{
    QStringList cells;
    for (int col = 1; col <= grid->MaxCols(); ++col) {
        QString value;
        grid->GetText(col, row, value);
        cells << value;
    }
    return cells.join(QLatin1Char('|'));
}

QString column(const SpreadGrid* grid, int col)
{
    QStringList cells;
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        QString value;
        grid->GetText(col, row, value);
        cells << value;
    }
    return cells.join(QLatin1Char(','));
}

// Records what the desktop is asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

// The main window against a real database: its start, the search through its controls,
// the detail pane with real screenshot files and the list rows other windows rewrite.
class FrmMainTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startShowsTheFirstSearch();
    void startAppliesTheSavedLayoutAndPeriodSetting();
    void listRowsCarryAllFifteenColumns();
    void showMineBoxesSearchAndSwitchTheirUserLists();
    void periodBoxSavesWithoutSearching();
    void filterControlsAndKeys();
    void emptyResultSaysSoAndClearsThePane();
    void detailShowsTextsPicturesAndCompanies();
    void steppingSharesThePositionBetweenGroups();
    void missingFirstSlotShowsTheBasePicture();
    void missingFileShowsTheErrorBoxAndStops();
    void recordWithoutCompaniesShowsOneEmptyRow();
    void listEventsShowTheRowsRecord();
    void rowAccessors();
    void addGridRowsInsertsAndRewrites();
    void pictureClickOpensTheZoomWindow();
    void textButtonsOpenTheEnlargedTextLocked();
    void zoomButtonsOpenTheFileOrItsFolder();
    void gridMenuAndColumnWidths();

private:
    std::unique_ptr<FrmMain> open();
    QString writeShot(const QString& name, int width);

    TestEnv m_env;
    QString m_share;
};

void FrmMainTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    gUseGridColors = true;
    m_share = m_env.path(QStringLiteral("share"));
    QVERIFY(QDir().mkpath(m_share + QStringLiteral("/사내문서/7_AS스샷")));
    UseShareFolder(m_share);

    QVERIFY(InstallFloatMsgStandIn(m_env.appDir()));
}

void FrmMainTest::init()
{
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    ClearFloatMsgLog(m_env.appDir());
    QDir(m_env.path(QStringLiteral("FormIni"))).removeRecursively();
    DeleteSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("term"));
}

void FrmMainTest::cleanup()
{
    CloseDB();
}

std::unique_ptr<FrmMain> FrmMainTest::open()
{
    auto w = std::make_unique<FrmMain>();
    w->Form_Load();
    return w;
}

QString FrmMainTest::writeShot(const QString& name, int width)
{
    QImage picture(width, 100, QImage::Format_RGB32);
    picture.fill(QColor(40, 120, 200));
    if (!picture.save(m_share + QStringLiteral("/사내문서/7_AS스샷/") + name, "JPEG"))
        return {};
    return kShotFolder + name;
}

void FrmMainTest::startShowsTheFirstSearch()
{
    MsgRecorder msgs;
    auto w = open();
    QCOMPARE(w->windowTitle(), QStringLiteral("타벤 A/S관리 v1.0.1 (HOST: 127.0.0.1)"));
    QCOMPARE(w->pos(), w->screen()->availableGeometry().topLeft());
    QCOMPARE(w->size(), QSize(1020, 692));
    QCOMPARE(w->loadedGeometry(), QRect(w->pos(), w->size()));
    QVERIFY(w->isVisible());

    QCOMPARE(w->fraTop->title(), QStringLiteral(" 검색조건 "));
    QCOMPARE(w->fraAs->title(), QStringLiteral(" A / S List"));
    QCOMPARE(w->fraText->title(), QStringLiteral(" 오류내용 / 해결책"));
    QCOMPARE(w->btnFind->text(), QStringLiteral("조회 F5"));
    QCOMPARE(w->chkShowMine[0]->text(), QStringLiteral("내것만보기"));
    QCOMPARE(w->chkTerm->text(), QStringLiteral("등록기간 "));
    QVERIFY(w->Command1->isHidden());
    QVERIFY(!w->chkTerm->isChecked());
    QCOMPARE(w->dpListTerm[0]->date(), QDate::currentDate().addDays(-5));
    QCOMPARE(w->dpListTerm[1]->date(), QDate::currentDate());

    QStringList programs;
    for (int i = 0; i < w->cmbProgram->ListCount(); ++i)
        programs << w->cmbProgram->List(i) + QLatin1Char('|') + QString::number(w->cmbProgram->ItemData(i));
    QCOMPARE(programs, (QStringList{"[프로그램]|0", "누리셈II외4종|0", "누리셈II|1", "가계부|2", "회계관리|3",
                                    "Bbox|4", "abc|5"}));
    QCOMPARE(w->cmbProgram->listWidth(), 190);
    QCOMPARE(w->cmbProgram->listHeight(), 666);
    QCOMPARE(entries(w->cmbUser[0]), (QStringList{"[전체]|1", "박민수|park", "이영희|lee", "김철수|kim"}));
    QCOMPARE(entries(w->cmbUser[2]), (QStringList{"[전체]|1", "이영희|lee", "김철수|kim"}));
    QCOMPARE(w->cmbStatus->ListCount(), 7);
    QCOMPARE(w->cmbStatus->List(6), QStringLiteral("환경문제"));
    for (HCCombo* c : {w->cmbProgram, w->cmbUser[0], w->cmbUser[1], w->cmbUser[2], w->cmbStatus})
        QCOMPARE(c->ListIndex(), 0);

    QCOMPARE(w->spList->MaxCols(), 15);
    QString header;
    w->spList->GetText(13, 0, header);
    QCOMPARE(header, QStringLiteral("답변자 코드"));
    for (int col = 1; col <= 15; ++col)
        QCOMPARE(w->spList->ColHidden(col), col >= 11);
    QCOMPARE(w->spList->CellType(1, 1), 13);
    QCOMPARE(w->spList->CellType(10, 1), 13);
    QVERIFY(w->spCom->ColHidden(3) && w->spCom->ColHidden(4) && !w->spCom->ColHidden(2));

    QCOMPARE(column(w->spList, 1), QStringLiteral("6,4,3,2,1"));
    QCOMPARE(w->spList->ActiveRow(), 1);
    QCOMPARE(w->spList->ActiveCol(), 2);
    QCOMPARE(gCurSeq, 6);
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::startAppliesTheSavedLayoutAndPeriodSetting()
{
    QVERIFY(QDir().mkpath(m_env.path(QStringLiteral("FormIni"))));
    QFile ini(m_env.path(QStringLiteral("FormIni/FrmMain.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[FormPosition]\r\nLeft=1500\r\nTop=750\r\nWidth=13500\r\nHeight=9000\r\n"
              "[spList_ColsWidth]\r\n5=40\r\n");
    ini.close();
    SaveSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("term"), QStringLiteral("1"));
    MsgRecorder msgs;
    auto w = open();
    QCOMPARE(QRect(w->pos(), w->size()), QRect(100, 50, 900, 600));
    QCOMPARE(w->loadedGeometry(), QRect(100, 50, 900, 600));
    QCOMPARE(w->spList->ColWidth(5), 40.0);
    QVERIFY(w->chkTerm->isChecked());
    // The period (the last six days) holds none of the records.
    QCOMPARE(w->spList->MaxRows(), 0);
    QTRY_COMPARE(FloatMsgLog(m_env.appDir()), QStringList{QStringLiteral(" 검색된 결과가 없습니다./T500")});
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::listRowsCarryAllFifteenColumns()
{
    auto w = open();
    QCOMPARE(rowText(w->spList, 5),
             QStringLiteral("1|2026-11-01 09:00|누리셈II|FrmSale|매출 저장 오류|김철수|요청대기|"
                            "이영희|2026-11-10 18:00|2|1|kim|lee|kim|1"));
    // No answerer, and no asker: listed with empty names and ids.
    QCOMPARE(rowText(w->spList, 1), QStringLiteral("6|2026-11-06 14:00|abc|FrmSale|O'Brien 문의|김철수|"
                                                   "단기예정(1~2주이내)|||1|6|kim||park|5"));
    QCOMPARE(rowText(w->spList, 2),
             QStringLiteral("4|2026-11-04 12:00|Bbox|FrmCfg|설정||환경문제|박민수||1|4||park|park|4"));
}

void FrmMainTest::showMineBoxesSearchAndSwitchTheirUserLists()
{
    auto w = open();
    w->chkShowMine[0]->click();
    QVERIFY(!w->cmbUser[0]->isEnabled());
    QCOMPARE(column(w->spList, 1), QStringLiteral("6,1"));
    // The disabled user list still filters: another asker empties the list.
    w->cmbUser[0]->FindCODE(QStringLiteral("lee"), true);
    w->btnFind->click();
    QCOMPARE(w->spList->MaxRows(), 0);
    w->cmbUser[0]->setListIndex(0);
    w->chkShowMine[0]->click();
    QVERIFY(w->cmbUser[0]->isEnabled());
    QCOMPARE(column(w->spList, 1), QStringLiteral("6,4,3,2,1"));

    w->chkShowMine[1]->click();
    QVERIFY(!w->cmbUser[1]->isEnabled());
    QCOMPARE(column(w->spList, 1), QStringLiteral("2"));
    w->chkShowMine[1]->click();
    w->chkShowMine[2]->click();
    QVERIFY(!w->cmbUser[2]->isEnabled() && w->cmbUser[1]->isEnabled());
    QCOMPARE(column(w->spList, 1), QStringLiteral("1"));
    QCOMPARE(w->CurrentFilters().showMine, (std::array<bool, 3>{false, false, true}));
}

void FrmMainTest::periodBoxSavesWithoutSearching()
{
    auto w = open();
    w->dpListTerm[0]->setDate(QDate(2026, 11, 2));
    w->dpListTerm[1]->setDate(QDate(2026, 11, 3));
    w->chkTerm->click();
    QCOMPARE(GetSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("term")), QStringLiteral("1"));
    QCOMPARE(w->spList->MaxRows(), 5);
    w->btnFind->click();
    QCOMPARE(column(w->spList, 1), QStringLiteral("3,2"));
    w->chkTerm->click();
    QCOMPARE(GetSetting(gAppTitle, QStringLiteral("Config"), QStringLiteral("term")), QStringLiteral("0"));
    QCOMPARE(w->spList->MaxRows(), 2);
}

void FrmMainTest::filterControlsAndKeys()
{
    MsgRecorder msgs;
    auto w = open();
    w->txtFindMemo[2]->setText(QStringLiteral("O'Brien"));
    w->btnFind->click();
    QCOMPARE(column(w->spList, 1), QStringLiteral("4"));
    w->txtFindMemo[2]->clear();

    w->cmbStatus->setListIndex(6);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w->spList, Qt::Key_F5);
    QCOMPARE(column(w->spList, 1), QStringLiteral("4,2"));
    w->cmbStatus->setListIndex(0);

    w->cmbProgram->setListIndex(1);
    QTest::keyClick(w->txtFindMemo[0], Qt::Key_F5); // the window takes F5 from any control
    QCOMPARE(column(w->spList, 1), QStringLiteral("2,1"));
    w->cmbProgram->setListIndex(4);
    w->btnFind->click();
    QCOMPARE(column(w->spList, 1), QStringLiteral("3"));
    w->cmbProgram->setListIndex(0);

    w->cmbUser[1]->FindCODE(QStringLiteral("park"), true);
    w->txtFindMemo[1]->setText(QStringLiteral("It's"));
    w->btnFind->click();
    QCOMPARE(column(w->spList, 1), QStringLiteral("4"));
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::emptyResultSaysSoAndClearsThePane()
{
    MsgRecorder msgs;
    auto w = open();
    QCOMPARE(w->spCom->MaxRows(), 1);
    w->txtFindMemo[0]->setText(QStringLiteral("없는화면"));
    w->btnFind->click();
    QCOMPARE(w->spList->MaxRows(), 0);
    QCOMPARE(w->txtErr->toPlainText(), QString());
    QCOMPARE(w->txtSolution->toPlainText(), QString());
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("0/0"));
    QCOMPARE(w->lblConut[1]->text(), QStringLiteral("0/0"));
    QCOMPARE(w->spCom->MaxRows(), 0);
    QTRY_COMPARE(FloatMsgLog(m_env.appDir()), QStringList{QStringLiteral(" 검색된 결과가 없습니다./T500")});
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::detailShowsTextsPicturesAndCompanies()
{
    QVERIFY(SetShotPaths(kDb, 1,
                         {writeShot("1_a_1.jpg", 301), writeShot("1_a_2.jpg", 302), QString(), QString(),
                          writeShot("1_a_5.jpg", 305), writeShot("1_a_6.jpg", 306)}));
    MsgRecorder msgs;
    auto w = open();
    w->DispDetail(5);
    QCOMPARE(gCurSeq, 1);
    QCOMPARE(w->txtErr->toPlainText(), QStringLiteral("저장 버튼을 누르면 멈춤"));
    QCOMPARE(w->txtSolution->toPlainText(), QStringLiteral("패치 배포"));
    QCOMPARE(w->shotPicture(0).width(), 301);
    QCOMPARE(w->shotPicture(1).width(), 306);
    QCOMPARE(w->imgShot[0]->picture().width(), 301);
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("1 / 3"));
    QCOMPARE(w->lblConut[1]->text(), QStringLiteral("1 / 1"));
    QCOMPARE(w->spCom->MaxRows(), 2);
    QCOMPARE(rowText(w->spCom, 1), QStringLiteral("대한상사|김철수|1|kim"));
    QCOMPARE(rowText(w->spCom, 2), QStringLiteral("한국물산|이영희|2|lee"));

    w->ClearDetail();
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("0/0"));
    QVERIFY(w->shotPicture(0).isNull());
    QCOMPARE(w->imgShot[0]->picture().cacheKey(), w->imgBase->pixmap().cacheKey());
    QCOMPARE(w->spCom->MaxRows(), 0);
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::steppingSharesThePositionBetweenGroups()
{
    QVERIFY(SetShotPaths(kDb, 2,
                         {writeShot("2_1.jpg", 201), writeShot("2_2.jpg", 202), writeShot("2_3.jpg", 203),
                          QString(), QString(), writeShot("2_6.jpg", 206), writeShot("2_7.jpg", 207),
                          writeShot("2_8.jpg", 208), writeShot("2_9.jpg", 209)}));
    MsgRecorder msgs;
    auto w = open();
    w->DispDetail(4); // record 2
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("1 / 3"));
    QCOMPARE(w->lblConut[1]->text(), QStringLiteral("1 / 4"));
    w->btnVecter[1]->click();
    w->btnVecter[1]->click();
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("3 / 3"));
    QCOMPARE(w->shotPicture(0).width(), 203);
    w->btnVecter[1]->click(); // at the end
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("3 / 3"));
    // One press forward in group 2 goes on from the third position.
    w->btnVecter[3]->click();
    QCOMPARE(w->lblConut[1]->text(), QStringLiteral("4 / 4"));
    QCOMPARE(w->shotPicture(1).width(), 209);
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("3 / 3"));
    w->btnVecter[0]->click();
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("3 / 3"));
    QCOMPARE(w->shotPicture(0).width(), 203);
    for (int i = 0; i < 3; ++i)
        w->btnVecter[2]->click();
    QCOMPARE(w->lblConut[1]->text(), QStringLiteral("1 / 4"));
    QCOMPARE(w->shotPicture(1).width(), 206);
    w->btnVecter[2]->click(); // at the start
    QCOMPARE(w->lblConut[1]->text(), QStringLiteral("1 / 4"));
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::missingFirstSlotShowsTheBasePicture()
{
    QVERIFY(SetShotPaths(kDb, 3, {QString(), writeShot("3_2.jpg", 232)}));
    MsgRecorder msgs;
    auto w = open();
    w->DispDetail(3); // record 3
    QVERIFY(w->shotPicture(0).isNull());
    QCOMPARE(w->imgShot[0]->picture().cacheKey(), w->imgBase->pixmap().cacheKey());
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("1 / 1"));
    QCOMPARE(w->lblConut[1]->text(), QStringLiteral("0 / 0"));
    w->btnVecter[1]->click(); // one picture: no stepping
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("1 / 1"));
    QCOMPARE(rowText(w->spCom, 1), QStringLiteral("서울상사|박민수|4|park"));

    // Stepping onto a slot whose file is gone shows the base picture, without a box.
    QVERIFY(SetShotPaths(kDb, 3, {writeShot("3_1.jpg", 231), kShotFolder + "gone.jpg"}));
    w->DispDetail(3);
    QCOMPARE(w->shotPicture(0).width(), 231);
    w->btnVecter[1]->click();
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("2 / 2"));
    QVERIFY(w->shotPicture(0).isNull());
    QCOMPARE(w->imgShot[0]->picture().cacheKey(), w->imgBase->pixmap().cacheKey());
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::missingFileShowsTheErrorBoxAndStops()
{
    QVERIFY(SetShotPaths(kDb, 1, {kShotFolder + "gone.jpg"}));
    MsgRecorder msgs;
    auto w = open();
    w->DispDetail(5); // record 1
    QCOMPARE(msgs.texts(),
             QStringList{QStringLiteral("Error 53 (File not found) in procedure spList of Form FrmMain")});
    QCOMPARE(msgs.last().icon, MsgIcon::None);
    QCOMPARE(msgs.last().title, gAppTitle);
    // What was filled before stays; the counters and the companies are not reached.
    QCOMPARE(w->txtErr->toPlainText(), QStringLiteral("저장 버튼을 누르면 멈춤"));
    QCOMPARE(w->lblConut[0]->text(), QStringLiteral("0/0"));
    QCOMPARE(w->spCom->MaxRows(), 2);
    QCOMPARE(rowText(w->spCom, 1), QStringLiteral("|||"));
    QCOMPARE(w->imgShot[0]->picture().cacheKey(), w->imgBase->pixmap().cacheKey());
}

void FrmMainTest::recordWithoutCompaniesShowsOneEmptyRow()
{
    MsgRecorder msgs;
    auto w = open();
    // Another client removes the companies of the listed record 1.
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("DELETE FROM %1.ascomp WHERE ascode = 1").arg(kDb)));
    w->DispDetail(5);
    QCOMPARE(w->txtErr->toPlainText(), QStringLiteral("저장 버튼을 누르면 멈춤"));
    QCOMPARE(w->spCom->MaxRows(), 1);
    QCOMPARE(rowText(w->spCom, 1), QStringLiteral("|||"));
    // The next search no longer lists it.
    w->btnFind->click();
    QCOMPARE(column(w->spList, 1), QStringLiteral("6,4,3,2"));
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::listEventsShowTheRowsRecord()
{
    auto w = open();
    QCOMPARE(gCurSeq, 6);
    const QRect cell = w->spList->visualRect(w->spList->model()->index(2, 4));
    QTest::mouseClick(w->spList->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w->spList->ActiveRow(), 3);
    QCOMPARE(gCurSeq, 3);
    QCOMPARE(w->txtSolution->toPlainText(), QStringLiteral("드라이버 교체"));
    // Leaving a cell for another row shows that row; within a row nothing changes.
    w->spList->SetActiveCell(3, 4);
    QCOMPARE(gCurSeq, 2);
    QCOMPARE(w->txtErr->toPlainText(), QStringLiteral("조회가 느림"));
    w->txtErr->setPlainText(QStringLiteral("marker"));
    w->spList->SetActiveCell(5, 4);
    QCOMPARE(w->txtErr->toPlainText(), QStringLiteral("marker"));
    QTest::keyClick(w->spList, Qt::Key_Down);
    QCOMPARE(gCurSeq, 1);
}

void FrmMainTest::rowAccessors()
{
    auto w = open();
    w->spList->SetActiveCell(2, 3);
    QCOMPARE(w->GetRowSeq(-2), 3L);
    QCOMPARE(w->GetRowSeq(5), 1L);
    QCOMPARE(w->GetRowAskId(), QStringLiteral("park"));
    QCOMPARE(w->GetRowAnsId(), QString());
    w->spList->SetActiveCell(2, 2);
    QCOMPARE(w->GetRowAskId(), QString());
    QCOMPARE(w->GetRowAnsId(), QStringLiteral("park"));
    w->txtFindMemo[0]->setText(QStringLiteral("없는화면"));
    w->btnFind->click();
    QCOMPARE(w->GetRowSeq(-2), 0L);
    QCOMPARE(w->GetRowSeq(1), 0L);
    QCOMPARE(w->GetRowAskId(), QString());
    QCOMPARE(w->GetRowAnsId(), QString());
}

void FrmMainTest::addGridRowsInsertsAndRewrites()
{
    MsgRecorder msgs;
    auto w = open();
    TestDb db;
    // A new request without an answerer, as the editor saves it.
    QVERIFY(db.exec(
        QStringLiteral("USE %1;"
                       "INSERT INTO aslist (seq, appcode, formname, title, user_q, user_a, qusdate, status)"
                       " VALUES (7, 3, 'FrmNew', '새 요청', 'kim', '', '2026-11-07 08:00', '요청대기');"
                       "INSERT INTO ascomp (user, comname, ascode) VALUES ('kim', '신규상사', 7)")
            .arg(kDb)));
    w->spList->SetActiveCell(4, 3);
    gNewRecord = true;
    w->AddGridRows(7);
    QCOMPARE(w->spList->MaxRows(), 6);
    QCOMPARE(rowText(w->spList, 1),
             QStringLiteral("7|2026-11-07 08:00|회계관리|FrmNew|새 요청|김철수|요청대기|||1|7|kim||lee|3"));
    QCOMPARE(column(w->spList, 1), QStringLiteral("7,6,4,3,2,1"));
    QCOMPARE(w->spList->ActiveRow(), 1);
    QCOMPARE(w->spList->ActiveCol(), 2);

    // An edit rewrites the active row in place.
    QVERIFY(
        db.exec(QStringLiteral("UPDATE aslist SET title = '고친 제목', user_a = 'lee', status = '배포완료'"
                               " WHERE seq = 3")));
    w->spList->SetActiveCell(2, 4);
    gNewRecord = false;
    w->AddGridRows(3);
    QCOMPARE(w->spList->MaxRows(), 6);
    QCOMPARE(
        rowText(w->spList, 4),
        QStringLiteral(
            "3|2026-11-03 11:00|회계관리|FrmSaleList|고친 제목|박민수|배포완료|이영희||1|3|park|lee|lee|3"));
    QCOMPARE(w->spList->ActiveRow(), 1);

    // A record without a company row changes nothing.
    gNewRecord = true;
    w->AddGridRows(5);
    QCOMPARE(column(w->spList, 1), QStringLiteral("7,6,4,3,2,1"));

    // An update with an empty list writes nowhere.
    w->txtFindMemo[0]->setText(QStringLiteral("없는화면"));
    w->btnFind->click();
    gNewRecord = false;
    w->AddGridRows(3);
    QCOMPARE(w->spList->MaxRows(), 0);
    QString header;
    w->spList->GetText(5, 0, header);
    QCOMPARE(header, QStringLiteral("제목"));
    // An insert into the empty list becomes its only row.
    gNewRecord = true;
    w->AddGridRows(7);
    QCOMPARE(column(w->spList, 1), QStringLiteral("7"));
    QCOMPARE(w->spList->ActiveRow(), 1);
    QCOMPARE(msgs.texts(), QStringList());
}

void FrmMainTest::pictureClickOpensTheZoomWindow()
{
    QVERIFY(SetShotPaths(kDb, 6, {writeShot("6_1.jpg", 416)}));
    auto w = open(); // record 6 is shown first
    QCOMPARE(w->shotPicture(0).width(), 416);
    QString shown;
    QSize size;
    QImage picture;
    auto look = [&](QWidget* modal) {
        shown = modal->objectName();
        if (auto* picBig = modal->findChild<QLabel*>(QStringLiteral("picBig"))) {
            size = picBig->pixmap().size();
            picture = picBig->pixmap().toImage();
        }
    };
    OnNextModal(look);
    QTest::mouseClick(w->imgShot[0], Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("FrmZoom_Image"));
    QCOMPARE(size, QSize(416, 100));

    // The base picture, shown where a record has no screenshot, opens like any other.
    shown.clear();
    OnNextModal(look);
    QTest::mouseClick(w->imgShot[1], Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("FrmZoom_Image"));
    QImage base = w->imgBase->pixmap().toImage();
    base.setDevicePixelRatio(picture.devicePixelRatio()); // the window shows it pixel for pixel
    QCOMPARE(picture, base);
}

void FrmMainTest::textButtonsOpenTheEnlargedTextLocked()
{
    auto w = open();
    w->DispDetail(5); // record 1
    struct Seen
    {
        QString text, mode;
        bool readOnly = false;
    } seen;
    auto look = [&](QWidget* modal) {
        auto* text = modal->findChild<QPlainTextEdit*>(QStringLiteral("txtExtend"));
        QVERIFY(text);
        seen = {text->toPlainText(), gExtendMode, text->isReadOnly()};
    };
    OnNextModal(look);
    w->btnErrExtend->click();
    QCOMPARE(seen.text, QStringLiteral("저장 버튼을 누르면 멈춤"));
    QCOMPARE(seen.mode, QStringLiteral("2"));
    QVERIFY(seen.readOnly);
    OnNextModal(look);
    w->btnSolExtend->click();
    QCOMPARE(seen.text, QStringLiteral("패치 배포"));
    QCOMPARE(seen.mode, QStringLiteral("3"));
    QVERIFY(seen.readOnly);
    QCOMPARE(w->btnErrExtend->text(), QStringLiteral("확 대"));
    QCOMPARE(w->txtErr->toPlainText(), QStringLiteral("저장 버튼을 누르면 멈춤"));
}

void FrmMainTest::zoomButtonsOpenTheFileOrItsFolder()
{
    QVERIFY(SetShotPaths(kDb, 1,
                         {writeShot("1_1.jpg", 101), writeShot("1_2.png", 102), QString(), QString(),
                          QString(), writeShot("1_6.jpg", 106)}));
    UrlRecorder desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
    auto w = open();
    w->DispDetail(5); // record 1
    const QString folder = m_share + QStringLiteral("/사내문서/7_AS스샷");
    w->btnZoom[0]->click();
    w->btnZoom[1]->click();
    w->btnVecter[1]->click();
    w->btnZoom[0]->click(); // a .png goes to the file manager
    w->btnZoom[1]->click(); // slot 7 is empty: nothing
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(desktop.urls,
             (QList<QUrl>{QUrl::fromLocalFile(folder + "/1_1.jpg"), QUrl::fromLocalFile(folder + "/1_6.jpg"),
                          QUrl::fromLocalFile(folder)}));
}

void FrmMainTest::gridMenuAndColumnWidths()
{
    auto w = open();
    QStringList items;
    QTimer::singleShot(50, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                items << a->text();
            menu->close();
        }
    });
    emit w->spList->RightClick(2, 3, 2, 10, 10);
    QVERIFY(items.contains(QStringLiteral("【보고서】용 칼럼 설정")));
    QVERIFY(items.contains(QStringLiteral("【소계만】보기/해제")));
    items.clear();
    emit w->spList->RightClick(1, 3, 2, 10, 10); // the button going down opens nothing
    QVERIFY(QApplication::activePopupWidget() == nullptr);

    w->spList->SetColWidth(4, 33);
    w->spList->SetColWidth(5, 44);
    emit w->spList->ColWidthChange(4, 5);
    QFile ini(m_env.path(QStringLiteral("FormIni/FrmMain.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(ini.readAll());
    QVERIFY2(text.contains(QStringLiteral("[spList_ColsWidth]")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("4=33")) && text.contains(QStringLiteral("5=44")),
             qPrintable(text));
}

QTEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"
