#include "ListData.h"
#include "Modal.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Globals.h"
#include "controls/HCCombo.h"
#include "controls/HCText.h"
#include "db/DbStartup.h"
#include "grid/SpreadGrid.h"
#include "records/CompanyStatements.h"
#include "records/FrmCompany.h"
#include "records/FrmMain.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

const QString kDb = QStringLiteral("t_company");

// Every company row of spCom as "name|user name|row number|user id".
QStringList companyRows(const SpreadGrid* spCom)
{
    QStringList rows;
    for (int row = 1; row <= spCom->MaxRows(); ++row)
        rows << QStringList{GridCell(spCom, 1, row), GridCell(spCom, 2, row), GridCell(spCom, 3, row),
                            GridCell(spCom, 4, row)}
                    .join(QLatin1Char('|'));
    return rows;
}

void selectUser(HCCombo* combo, const QString& name)
{
    for (int i = 0; i < combo->ListCount(); ++i)
        if (combo->List(i) == name)
            combo->setListIndex(i);
}

const QRegularExpression kWriteDate(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d -\\d\\d:\\d\\d$"));

} // namespace

// The companies window against a real database, opened over the real main window.
class CompanyTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void statements_data();
    void statements();
    void mainWindowOpensItOnlyForASelection();
    void savedPlaceIsRestored();
    void newCompanyIsSavedAndShownInTheMainWindow();
    void refusals_data();
    void refusals();
    void quotesAndBackslashesAreStoredAsTyped();
    void continuousAddStaysOpenForTheNext();
    void editChangesNameAndMemo();
    void failedUpdateKeepsTheWindowAndItsInput();

private:
    std::unique_ptr<FrmMain> openMain();
    QStringList companiesOnServer(int ascode);

    TestEnv m_env;
};

void CompanyTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    QVERIFY(InstallFloatMsgStandIn(m_env.appDir()));
}

void CompanyTest::init()
{
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    ClearFloatMsgLog(m_env.appDir());
}

void CompanyTest::cleanup()
{
    CloseDB();
}

// The main window on its first search: records 6, 4, 3, 2, 1; record 6 active.
std::unique_ptr<FrmMain> CompanyTest::openMain()
{
    auto w = std::make_unique<FrmMain>();
    w->Form_Load();
    return w;
}

QStringList CompanyTest::companiesOnServer(int ascode)
{
    TestDb db;
    return db.rows(QStringLiteral("SELECT user, comname, writedate, memo FROM %1.ascomp WHERE ascode = %2 "
                                  "ORDER BY seq")
                       .arg(kDb)
                       .arg(ascode));
}

void CompanyTest::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("duplicate, new company")
        << CompanyDuplicateSql(QStringLiteral("O'Brien \\상사"), 6)
        << QStringLiteral("SELECT seq FROM ascomp   WHERE comname ='O''Brien \\\\상사' AND ascode = 6");
    QTest::newRow("duplicate, edited row")
        << CompanyDuplicateSql(QStringLiteral("대한상사"), 1, 7)
        << QStringLiteral("SELECT seq FROM ascomp   WHERE comname ='대한상사' AND ascode = 1 AND seq <> 7");
    QTest::newRow("insert") << InsertCompanySql(QStringLiteral("kim"), QStringLiteral("It's"),
                                                QStringLiteral("2026-12-08 -09:05"), QStringLiteral("a\\b"),
                                                6)
                            << QStringLiteral(
                                   "INSERT INTO ascomp (`user`, `comname`, `writedate`, `memo`, "
                                   "`ascode`) VALUES ( 'kim','It''s','2026-12-08 -09:05','a\\\\b','6')");
    QTest::newRow("update") << UpdateCompanySql(QStringLiteral("A'B"), QStringLiteral("메모"), 12)
                            << QStringLiteral(
                                   " UPDATE ascomp  SET comname =  'A''B' , memo =  '메모' WHERE  seq = 12");
    QTest::newRow("row") << CompanyRowSql(3)
                         << QStringLiteral(" SELECT user,  writedate , memo  FROM ascomp WHERE seq = 3");
    QTest::newRow("reload") << CompanyReloadSql(6)
                            << QStringLiteral(
                                   " SELECT c.seq,u.name,c.comname, c.user  FROM ascomp AS c , user as u"
                                   " WHERE c.user = u.id AND c.ascode =  6 ORDER BY c.ascode");
    QTest::newRow("user name") << CompanyUserNameSql(QStringLiteral("o'k"))
                               << QStringLiteral(" SELECT name FROM user WHERE id = 'o''k'");
    QTest::newRow("write date") << CompanyWriteDate(QDateTime(QDate(2026, 3, 4), QTime(15, 7)))
                                << QStringLiteral("2026-03-04 -15:07");
}

void CompanyTest::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void CompanyTest::mainWindowOpensItOnlyForASelection()
{
    MsgRecorder msgs;
    auto w = openMain();

    // btnCompany on the active record: the window in new-company mode.
    bool opened = false;
    OnNextModal([&](QWidget* modal) {
        auto* form = qobject_cast<FrmCompany*>(modal);
        QVERIFY(form);
        opened = true;
        QCOMPARE(form->windowTitle(), QStringLiteral("업체등록"));
        QVERIFY(!form->isEditMode());
        QCOMPARE(form->htCom[0]->Text(), QStringLiteral("abc"));
        QCOMPARE(form->htCom[1]->Text(), QStringLiteral("O'Brien 문의"));
        QVERIFY(form->htCom[0]->Locked() && form->htCom[1]->Locked() && !form->htCom[2]->Locked());
        QVERIFY(kWriteDate.match(form->htCom[2]->Text()).hasMatch());
        QCOMPARE(form->htCom[3]->Text(), QString());
        QCOMPARE(form->cmbUser->Text(), QStringLiteral("김철수"));
        QCOMPARE(form->cmbUser->Text2(), QStringLiteral("kim"));
        QCOMPARE(form->cmbUser->List(0), QStringLiteral("[전체]"));
        QVERIFY(!form->chkContinueAdd->isChecked());
        // The user field acts as a plain combo box: entering it opens no list, and
        // Enter and the arrow keys leave the focus where it is.
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->cmbUser->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form->cmbUser->hwnd(), Qt::Key_Return);
        QTest::keyClick(form->cmbUser->hwnd(), Qt::Key_Right);
        QVERIFY(form->cmbUser->hwnd()->hasFocus());
        QVERIFY(!form->cmbUser->hwnd()->view()->isVisible());
    });
    w->btnCompany->click();
    QVERIFY(opened);
    QCOMPARE(gCurSeq, 6);

    // Double-click on a company row: the window in edit mode for that row.
    opened = false;
    OnNextModal([&](QWidget* modal) {
        auto* form = qobject_cast<FrmCompany*>(modal);
        QVERIFY(form);
        opened = true;
        QCOMPARE(form->windowTitle(), QStringLiteral("업체 -『 수정』"));
        QCOMPARE(form->lblComKey->text(), QStringLiteral("6"));
        QCOMPARE(form->htCom[3]->Text(), QStringLiteral("부산상사"));
    });
    w->spCom->SetActiveCell(1, 1);
    emit w->spCom->DblClick(1, 1);
    QVERIFY(opened);
    QCOMPARE(msgs.texts(), QStringList());

    // With nothing selected neither opens a window.
    w->txtFindMemo[0]->setText(QStringLiteral("없는화면"));
    w->SearchList();
    QCOMPARE(w->spList->MaxRows(), 0);
    w->btnCompany->click();
    emit w->spCom->DblClick(1, 1);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w->txtFindMemo[0], Qt::Key_F6); // the window takes F6 from any control
    const QString noRecord = QStringLiteral("먼저 그리드에서 자료를 선택하세요.");
    QCOMPARE(msgs.texts(),
             (QStringList{noRecord, QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."), noRecord}));
    for (const MsgPrompt& prompt : msgs.prompts())
        QCOMPARE(prompt.icon, MsgIcon::Information);
    QCOMPARE(gCurSeq, 0);
}

void CompanyTest::savedPlaceIsRestored()
{
    QVERIFY(QDir().mkpath(m_env.path(QStringLiteral("FormIni"))));
    QFile ini(m_env.path(QStringLiteral("FormIni/FrmCompany.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[FormPosition]\r\nLeft=1500\r\nTop=750\r\nWidth=7500\r\nHeight=6000\r\n");
    ini.close();
    MsgRecorder msgs;
    auto w = openMain();
    FrmCompany form(w.get());
    QCOMPARE(QRect(form.pos(), form.size()), QRect(100, 50, 500, 400));
    QVERIFY(ini.remove());
}

void CompanyTest::newCompanyIsSavedAndShownInTheMainWindow()
{
    MsgRecorder msgs;
    auto w = openMain();
    FrmCompany form(w.get());
    form.show();
    selectUser(form.cmbUser, QStringLiteral("이영희"));
    form.htCom[2]->setText(QStringLiteral("2026-12-08 -10:30"));
    form.htCom[3]->setText(QStringLiteral("동해상사"));
    form.txtMemo->setPlainText(QStringLiteral("첫 줄\n둘째 줄"));
    form.btnAdd_Click();

    QCOMPARE(msgs.texts(), QStringList());
    QVERIFY(!form.isVisible());
    QCOMPARE(companiesOnServer(6),
             (QStringList{QStringLiteral("kim|부산상사|2026-11-06 14:00|"),
                          QStringLiteral("lee|동해상사|2026-12-08 -10:30|첫 줄\n둘째 줄")}));
    TestDb db;
    const QString seq =
        db.value(QStringLiteral("SELECT seq FROM %1.ascomp WHERE comname = '동해상사'").arg(kDb));
    QCOMPARE(companyRows(w->spCom), (QStringList{QStringLiteral("동해상사|이영희|%1|lee").arg(seq),
                                                 QStringLiteral("부산상사|김철수|6|kim")}));
    QCOMPARE(GridCell(w->spList, 10, 1), QStringLiteral("2"));
    QCOMPARE(GridCell(w->spList, 10, 2), QStringLiteral("1")); // other rows untouched
    QTRY_COMPARE(FloatMsgLog(m_env.appDir()), QStringList{QStringLiteral(" 자료가 저장되었습니다./T500")});
}

void CompanyTest::refusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QString() << QStringLiteral(" 업체명을 입력해 주세요.");
    QTest::newRow("already on this record")
        << QStringLiteral("부산상사") << QStringLiteral("등록된 업체 입니다.");
}

void CompanyTest::refusals()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    MsgRecorder msgs;
    auto w = openMain();
    FrmCompany form(w.get());
    form.show();
    form.htCom[3]->setText(name);
    form.txtMemo->setPlainText(QStringLiteral("메모"));
    form.btnAdd_Click();

    QCOMPARE(msgs.texts(), QStringList{message});
    QCOMPARE(msgs.last().icon, MsgIcon::None);
    QCOMPARE(msgs.last().title, gAppTitle);
    QVERIFY(form.isVisible());
    QCOMPARE(form.htCom[3]->Text(), QString());
    QCOMPARE(form.txtMemo->toPlainText(), QStringLiteral("메모"));
    QCOMPARE(companiesOnServer(6), QStringList{QStringLiteral("kim|부산상사|2026-11-06 14:00|")});
    QCOMPARE(FloatMsgLog(m_env.appDir()), QStringList());
}

void CompanyTest::quotesAndBackslashesAreStoredAsTyped()
{
    MsgRecorder msgs;
    auto w = openMain();
    // Record 4 already has "O'Brien 상사": the check finds it although the name has a quote.
    w->spList->SetActiveCell(2, 2);
    w->DispDetail(2);
    QCOMPARE(gCurSeq, 4);
    FrmCompany form(w.get());
    form.show();
    form.htCom[3]->setText(QStringLiteral("O'Brien 상사"));
    form.btnAdd_Click();
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("등록된 업체 입니다.")});

    msgs.clear();
    const QString name = QStringLiteral("D'Arc \\ 상사 \\'");
    const QString memo = QStringLiteral("C:\\temp\\'a' -- ;");
    form.htCom[2]->setText(QStringLiteral("2026-12-08 '\\"));
    form.htCom[3]->setText(name);
    form.txtMemo->setPlainText(memo);
    form.btnAdd_Click();
    QCOMPARE(msgs.texts(), QStringList());
    QCOMPARE(companiesOnServer(4).value(1),
             QStringLiteral("kim|") + name + QStringLiteral("|2026-12-08 '\\|") + memo);
    QVERIFY(companyRows(w->spCom).contains(name + QStringLiteral("|김철수|7|kim")));
    QCOMPARE(GridCell(w->spList, 10, 2), QStringLiteral("2"));
}

void CompanyTest::continuousAddStaysOpenForTheNext()
{
    MsgRecorder msgs;
    auto w = openMain();
    FrmCompany form(w.get());
    form.show();
    form.chkContinueAdd->setChecked(true);
    selectUser(form.cmbUser, QStringLiteral("박민수"));
    form.htCom[2]->setText(QStringLiteral("2000-01-01 -00:00"));
    form.htCom[3]->setText(QStringLiteral("첫째상사"));
    form.txtMemo->setPlainText(QStringLiteral("메모1"));
    form.btnAdd_Click();

    QVERIFY(form.isVisible());
    QCOMPARE(form.htCom[3]->Text(), QString());
    QCOMPARE(form.txtMemo->toPlainText(), QString());
    QVERIFY(form.htCom[2]->Text() != QStringLiteral("2000-01-01 -00:00"));
    QVERIFY(kWriteDate.match(form.htCom[2]->Text()).hasMatch());
    QVERIFY(form.chkContinueAdd->isChecked());
    QCOMPARE(form.cmbUser->Text2(), QStringLiteral("park"));
    QCOMPARE(form.htCom[0]->Text(), QStringLiteral("abc"));

    form.htCom[3]->setText(QStringLiteral("둘째상사"));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(form.htCom[3]->hwnd(), Qt::Key_F2); // F2 saves from any field
    QVERIFY(form.isVisible());
    QCOMPARE(msgs.texts(), QStringList());
    const QStringList rows = companiesOnServer(6);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[1], QStringLiteral("park|첫째상사|2000-01-01 -00:00|메모1"));
    QVERIFY(rows[2].startsWith(QStringLiteral("park|둘째상사|")));
    QVERIFY(rows[2].endsWith(QLatin1Char('|')));
    QCOMPARE(w->spCom->MaxRows(), 3);
    QCOMPARE(GridCell(w->spList, 10, 1), QStringLiteral("3"));
    QTRY_COMPARE(FloatMsgLog(m_env.appDir()).size(), 2);
}

void CompanyTest::editChangesNameAndMemo()
{
    MsgRecorder msgs;
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("UPDATE %1.ascomp SET memo = '옛 메모' WHERE seq = 1").arg(kDb)));
    auto w = openMain();
    // Record 1 (list row 5): 대한상사 (kim) and 한국물산 (lee).
    w->spList->SetActiveCell(2, 5);
    w->DispDetail(5);
    QCOMPARE(gCurSeq, 1);

    auto edit = [&](int row) {
        auto form = std::make_unique<FrmCompany>(w.get());
        form->DispRec(row);
        form->show();
        return form;
    };
    auto form = edit(1);
    QCOMPARE(form->lblComKey->text(), QStringLiteral("1"));
    QCOMPARE(form->htCom[2]->Text(), QStringLiteral("2026-11-01 09:00"));
    QCOMPARE(form->txtMemo->toPlainText(), QStringLiteral("옛 메모"));
    QCOMPARE(form->cmbUser->Text(), QStringLiteral("김철수"));
    QVERIFY(!form->cmbUser->isEnabled());
    QVERIFY(form->htCom[2]->Locked());

    // The memo alone: the row is not its own duplicate.
    form->txtMemo->setPlainText(QStringLiteral("새 메모"));
    form->btnAdd_Click();
    QCOMPARE(msgs.texts(), QStringList());
    QVERIFY(!form->isVisible());
    QCOMPARE(companiesOnServer(1).value(0), QStringLiteral("kim|대한상사|2026-11-01 09:00|새 메모"));

    // Another row's name is refused; a new name and memo are written.
    form = edit(1);
    form->htCom[3]->setText(QStringLiteral("한국물산"));
    form->btnAdd_Click();
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("등록된 업체 입니다.")});
    QCOMPARE(form->htCom[3]->Text(), QString());
    form->htCom[3]->setText(QStringLiteral("대한상사(주)"));
    form->txtMemo->setPlainText(QStringLiteral("O'Neil\\"));
    form->btnAdd_Click();
    QVERIFY(!form->isVisible());
    QCOMPARE(companiesOnServer(1), (QStringList{QStringLiteral("kim|대한상사(주)|2026-11-01 09:00|O'Neil\\"),
                                                QStringLiteral("lee|한국물산|2026-11-01 10:00|")}));
    QCOMPARE(companyRows(w->spCom), (QStringList{QStringLiteral("대한상사(주)|김철수|1|kim"),
                                                 QStringLiteral("한국물산|이영희|2|lee")}));
    QCOMPARE(GridCell(w->spList, 10, 5), QStringLiteral("2"));

    // Saving without a change writes nothing and says nothing.
    msgs.clear();
    form = edit(2);
    form->btnAdd_Click();
    QVERIFY(!form->isVisible());
    QCOMPARE(msgs.texts(), QStringList());
    QCOMPARE(FloatMsgLog(m_env.appDir()), QStringList()); // an update shows no floating message
}

void CompanyTest::failedUpdateKeepsTheWindowAndItsInput()
{
    MsgRecorder msgs;
    auto w = openMain();
    FrmCompany form(w.get());
    form.DispRec(1);
    form.show();
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("DELETE FROM %1.ascomp WHERE seq = 6").arg(kDb)));
    form.htCom[3]->setText(QStringLiteral("부산상사2"));
    form.txtMemo->setPlainText(QStringLiteral("메모"));
    form.btnAdd_Click();

    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("저장중 오류가 발생하였습니다.")});
    QCOMPARE(msgs.last().icon, MsgIcon::Exclamation);
    QVERIFY(form.isVisible());
    QCOMPARE(form.htCom[3]->Text(), QStringLiteral("부산상사2"));
    QCOMPARE(form.txtMemo->toPlainText(), QStringLiteral("메모"));
    QCOMPARE(companyRows(w->spCom), QStringList{QStringLiteral("부산상사|김철수|6|kim")}); // not reloaded
}

QTEST_MAIN(CompanyTest)
#include "tst_company.moc"
