#include "MsgRecorder.h"
#include "common/AppPaths.h"
#include "common/Globals.h"
#include "common/ProfileIni.h"
#include "grid/FormIni.h"
#include "grid/FrmSprRPTCol.h"
#include "grid/PopupMenu.h"
#include "grid/SpreadGrid.h"
#include "grid/SpreadMenu.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

// The grid's right-click menu, its commands driven through scripted answers, and
// the report-column window.
class MenuTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void menuItems_data();
    void menuItems();
    void codedStrings();
    void popupReturnsTheChosenNumber();
    void rowHeightCommand_data();
    void rowHeightCommand();
    void fontSizeCommand();
    void resetCommand();
    void reportColumnsCommand();
    void subtotalCommands_data();
    void subtotalCommands();
    void separatorCommand_data();
    void separatorCommand();
    void rowNumberWidthCommand();
    void otherNumbersDoNothing();
    void reportColumnsFirstUse();
    void reportColumnsSaveAndReadBack();
    void reportColumnsUnsavedChangeAsks();

private:
    struct Window
    {
        QWidget form;
        SpreadGrid* grid;
        Window()
        {
            form.setObjectName(QStringLiteral("FrmMain"));
            grid = new SpreadGrid(&form);
            grid->setObjectName(QStringLiteral("spList"));
            grid->SetMaxCols(5);
            grid->SetMaxRows(10);
            const QStringList headers{"관리번호", "등록일시", "프로그램", "화면명", "제목"};
            for (int c = 1; c <= 5; ++c)
                grid->SetText(c, 0, headers[c - 1]);
        }
    };
    QString iniPath() const { return m_dir.path() + QStringLiteral("/FormIni/FrmMain.ini"); }
    QString general(const char* key) const
    {
        return profile::ReadString(iniPath(), QStringLiteral("spList_General"), QLatin1String(key),
                                   QStringLiteral("-"));
    }
    // Runs `act` on the first popup or modal window that appears, while `body` waits.
    static void whenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act);

    QTemporaryDir m_dir;
};

void MenuTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    QVERIFY(m_dir.isValid());
    SetAppDirForTesting(m_dir.path());
}

void MenuTest::init()
{
    QDir(m_dir.path() + QStringLiteral("/FormIni")).removeRecursively();
}

void MenuTest::whenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, find, act] {
        QWidget* w = find();
        if (!w && ++*tries < 300)
            return;
        timer->stop();
        timer->deleteLater();
        if (w)
            act(w);
    });
    timer->start();
}

void MenuTest::menuItems_data()
{
    QTest::addColumn<bool>("rowHeaders");
    QTest::addColumn<bool>("rptCol");
    QTest::addColumn<bool>("subtotal");
    QTest::addColumn<QStringList>("expected");
    const QStringList head{"08구분선 표시",
                           "09그리드 줄번호 넓이 변경",
                           "-",
                           "01그리드 【줄높이】변경",
                           "02【글자크기】       변경",
                           "-",
                           "03폼 및 그리드 설정【초기화】"};
    const QStringList rpt{"-", "04【보고서】용 칼럼 설정", "05【엑셀】로 내보내기"};
    const QStringList sub{"-", "06【소계】숨김/보기", "07【소계만】보기/해제"};
    const QStringList tail{"-", "00메    뉴      닫    기"};
    QTest::newRow("main window") << true << true << true << head + rpt + sub + tail;
    QTest::newRow("no report columns") << true << false << true << head + sub + tail;
    QTest::newRow("plain") << true << false << false << head + tail;
    QStringList noNumbers = head;
    noNumbers.removeAt(1);
    QTest::newRow("no row headers") << false << true << false << noNumbers + rpt + tail;
}

void MenuTest::menuItems()
{
    QFETCH(bool, rowHeaders);
    QFETCH(bool, rptCol);
    QFETCH(bool, subtotal);
    QFETCH(QStringList, expected);
    Window w;
    w.grid->SetRowHeadersShow(rowHeaders);
    QCOMPARE(SpreadMenuItems(w.grid, rptCol, subtotal), expected);
}

void MenuTest::codedStrings()
{
    QMenu menu;
    FillPopupMenu(&menu, {"01첫째", "-", "X", "02흐림", "[v]", "03[v]체크", "00닫기"});
    const QList<QAction*> actions = menu.actions();
    QCOMPARE(actions.size(), 6);
    QCOMPARE(actions[0]->text(), QStringLiteral("첫째"));
    QCOMPARE(actions[0]->data().toInt(), 1);
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(actions[2]->text(), QStringLiteral("흐림"));
    QVERIFY(!actions[2]->isEnabled());
    QVERIFY(actions[3]->isEnabled());        // only the item right after "X" is greyed
    QCOMPARE(actions[3]->data().toInt(), 0); // "[v]" read as a number gives 0
    QCOMPARE(actions[4]->text(), QStringLiteral("체크"));
    QVERIFY(actions[4]->isChecked());
    QCOMPARE(actions[4]->data().toInt(), 3);
    QVERIFY(!actions[0]->isCheckable());
    QCOMPARE(actions[5]->data().toInt(), 0);
}

void MenuTest::popupReturnsTheChosenNumber()
{
    QWidget form;
    const QStringList items{"01하나", "X", "02둘", "07일곱"};
    const auto popup = [] { return QApplication::activePopupWidget(); };
    const auto clickOn = [](const QString& text) {
        return [text](QWidget* w) {
            auto* menu = qobject_cast<QMenu*>(w);
            for (QAction* a : menu->actions())
                if (a->text() == text)
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        };
    };
    whenShown(popup, clickOn(QStringLiteral("일곱")));
    QCOMPARE(ShowPopupMenu(&form, items), 7);
    whenShown(popup, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QCOMPARE(ShowPopupMenu(&form, items), 0);
    // A greyed item cannot be chosen: the menu stays until dismissed.
    whenShown(popup, [clickOn](QWidget* w) {
        clickOn(QStringLiteral("둘"))(w);
        QTimer::singleShot(50, w, [w] { QTest::keyClick(w, Qt::Key_Escape); });
    });
    QCOMPARE(ShowPopupMenu(&form, items), 0);

    // The whole road: menu, item 01, input box, new height stored.
    Window win;
    win.grid->SetRowHeight(-1, 15);
    MsgRecorder recorder;
    recorder.answerText(QStringLiteral("20"));
    whenShown(popup, clickOn(QStringLiteral("그리드 【줄높이】변경")));
    ShowSpreadMenu(&win.form, win.grid, true, QString(), true);
    QCOMPARE(win.grid->RowHeight(-1), 20.0);
    QCOMPARE(general("RowHeight"), QStringLiteral("20"));
}

void MenuTest::rowHeightCommand_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("saved");
    QTest::newRow("cancel") << QStringList{""} << 15.0 << "-";
    QTest::newRow("in range") << QStringList{"20"} << 20.0 << "20";
    QTest::newRow("asked again until in range") << QStringList{"5", "301", "300"} << 300.0 << "300";
    QTest::newRow("lower bound") << QStringList{"8"} << 8.0 << "8";
    QTest::newRow("default: stored, not shown") << QStringList{"0"} << 15.0 << "0";
    QTest::newRow("same as now: nothing") << QStringList{"15"} << 15.0 << "-";
    QTest::newRow("cancel after a wrong value") << QStringList{"7", ""} << 15.0 << "-";
}

void MenuTest::rowHeightCommand()
{
    QFETCH(QStringList, answers);
    QFETCH(double, height);
    QFETCH(QString, saved);
    Window w;
    w.grid->SetRowHeight(-1, 15.6); // shown as 15, its fraction cut
    w.grid->SetRowHeight(0, 17);
    MsgRecorder recorder;
    for (const QString& a : answers)
        a.isEmpty() ? recorder.answer(vbCancel) : recorder.answerText(a);

    RunSpreadMenuCommand(&w.form, w.grid, 1, QString());

    QCOMPARE(recorder.count(), int(answers.size()));
    for (const MsgPrompt& p : recorder.prompts()) {
        QCOMPARE(p.kind, MsgPrompt::Kind::Input);
        QCOMPARE(p.text, QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~300, 0:기본값)"));
        QCOMPARE(p.title, QStringLiteral("그리드의 줄높이 변경"));
        QCOMPARE(p.defaultText, QStringLiteral("15"));
    }
    const bool changed = height != 15.0;
    QCOMPARE(w.grid->RowHeight(-1), changed ? height : 15.6);
    QCOMPARE(w.grid->RowHeight(0), changed ? height + 2 : 17.0);
    QCOMPARE(general("RowHeight"), saved);
}

void MenuTest::fontSizeCommand()
{
    Window w;
    w.grid->SetFontSize(-1, -1, 10);
    const double header = w.grid->FontSize(1, 0);
    MsgRecorder recorder;
    recorder.answerText(QStringLiteral("7"));
    recorder.answerText(QStringLiteral("61"));
    recorder.answerText(QStringLiteral("12"));
    RunSpreadMenuCommand(&w.form, w.grid, 2, QString());
    QCOMPARE(recorder.count(), 3);
    QCOMPARE(recorder.last().text,
             QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)"));
    QCOMPARE(recorder.last().title, QStringLiteral("그리드내 글자크기 변경"));
    QCOMPARE(recorder.last().defaultText, QStringLiteral("10"));
    QCOMPARE(w.grid->FontSize(3, 7), 12.0);
    QCOMPARE(w.grid->FontSize(1, 0), 12.0);
    QCOMPARE(general("FontSize"), QStringLiteral("12"));

    // 0: nothing on screen, 0 stored; the designed size comes back on the next load.
    recorder.clear();
    recorder.answerText(QStringLiteral("0"));
    RunSpreadMenuCommand(&w.form, w.grid, 2, QString());
    QCOMPARE(w.grid->FontSize(1, 1), 12.0);
    QCOMPARE(general("FontSize"), QStringLiteral("0"));
    Window reopened;
    const double designed = reopened.grid->FontSize(1, 1);
    LoadFormIni(&reopened.form, false, QString());
    QCOMPARE(reopened.grid->FontSize(1, 1), designed);
    QCOMPARE(reopened.grid->FontSize(1, 0), header);
}

void MenuTest::resetCommand()
{
    Window w;
    SaveSpreadIni_Gn(&w.form, w.grid, QStringLiteral("RowHeight"), QStringLiteral("20"), QString());
    QVERIFY(QFile::exists(iniPath()));
    const QString question =
        QStringLiteral("해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이\r\n\r\n"
                       ", 줄높이, 글자크기등이 모두 초기화 됩니다.\r\n\r\n초기화 하시겠습니까?");
    MsgRecorder recorder;
    recorder.answer(vbNo);
    RunSpreadMenuCommand(&w.form, w.grid, 3, QString());
    QVERIFY(QFile::exists(iniPath()));
    QCOMPARE(recorder.texts(), QStringList{question});
    QCOMPARE(recorder.last().icon, MsgIcon::Question);
    QCOMPARE(recorder.last().buttons, MsgButtons::YesNo);
    QCOMPARE(recorder.last().defaultButton, int(vbYes));

    recorder.clear();
    recorder.answer(vbYes);
    RunSpreadMenuCommand(&w.form, w.grid, 3, QString());
    QVERIFY(!QFile::exists(iniPath()));
    QCOMPARE(recorder.texts(),
             (QStringList{question, QStringLiteral("초기화를 완료하였습니다.\r\n\r\n현재창을 닫고 다시 "
                                                   "열어 주셔야 초기화된 형태가 제대로 보여집니다.")}));
    QCOMPARE(recorder.last().icon, MsgIcon::Information);
    QCOMPARE(recorder.last().title, gAppTitle);
}

void MenuTest::reportColumnsCommand()
{
    Window w;
    w.grid->SetColHidden(2, true);
    QStringList listed;
    whenShown([] { return QApplication::activeModalWidget(); },
              [&listed](QWidget* dialog) {
                  auto* list = dialog->findChild<QListWidget*>(QStringLiteral("List1"));
                  for (int i = 0; i < list->count(); ++i)
                      listed << list->item(i)->text();
                  dialog->close();
              });
    RunSpreadMenuCommand(&w.form, w.grid, 4, QString());
    QCOMPARE(listed, (QStringList{"관리번호", "프로그램", "화면명", "제목"}));
}

void MenuTest::subtotalCommands_data()
{
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<QList<int>>("hidden");
    // Rows 3 and 5 are subtotals, row 6 the grand total.
    QTest::newRow("hide subtotals") << QList<int>{6} << QList<int>{3, 5};
    QTest::newRow("and show them again") << QList<int>{6, 6} << QList<int>{};
    QTest::newRow("only subtotals") << QList<int>{7} << QList<int>{1, 2, 4, 7, 8, 9, 10};
    QTest::newRow("detail back") << QList<int>{7, 7} << QList<int>{};
    QTest::newRow("only the grand total") << QList<int>{7, 6} << QList<int>{1, 2, 3, 4, 5, 7, 8, 9, 10};
}

void MenuTest::subtotalCommands()
{
    QFETCH(QList<int>, commands);
    QFETCH(QList<int>, hidden);
    Window w;
    w.grid->SetCellTag(0, 3, QStringLiteral("subtot"));
    w.grid->SetCellTag(0, 5, QStringLiteral("subtot"));
    w.grid->SetCellTag(0, 6, QStringLiteral("gndtot"));
    MsgRecorder recorder;
    for (int command : commands)
        RunSpreadMenuCommand(&w.form, w.grid, command, QString());
    QList<int> got;
    for (int r = 1; r <= w.grid->MaxRows(); ++r) {
        QCOMPARE(w.grid->isRowHidden(r - 1), w.grid->RowHidden(r));
        if (w.grid->RowHidden(r))
            got << r;
    }
    QCOMPARE(got, hidden);
    QVERIFY(w.grid->ReDraw());
    QCOMPARE(recorder.count(), 0);
}

void MenuTest::separatorCommand_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("defaults");
    QTest::addColumn<QList<int>>("green");
    const QString notNumber = QStringLiteral("입력값이 숫자가 아닙니다. 다시 입력해 주십시요.");
    const QString outOfRange = QStringLiteral("입력값이 범위를 벗어났습니다. 다시 입력해 주십시요.");
    QTest::newRow("every third") << QStringList{"3"} << QStringList{} << QStringList{"5"}
                                 << QList<int>{3, 6, 9};
    QTest::newRow("wrong answers first")
        << QStringList{"abc", "1", "10001", "4"} << QStringList{notNumber, outOfRange, outOfRange}
        << QStringList{"5", "abc", "1", "10001"} << QList<int>{4, 8};
    QTest::newRow("more than the rows")
        << QStringList{"20"} << QStringList{} << QStringList{"5"} << QList<int>{};
    QTest::newRow("cancel keeps the old ones")
        << QStringList{""} << QStringList{} << QStringList{"5"} << QList<int>{2, 7};
}

void MenuTest::separatorCommand()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, defaults);
    QFETCH(QList<int>, green);
    Window w;
    w.grid->SetBackColor(-1, 2, Rgb(0, 255, 0)); // separators of an earlier use
    w.grid->SetBackColor(-1, 7, Rgb(0, 255, 0));
    w.grid->SetBackColor(-1, 8, Rgb(1, 2, 3));
    MsgRecorder recorder;
    for (const QString& a : answers) {
        a.isEmpty() ? recorder.answer(vbCancel) : recorder.answerText(a);
        if (a != answers.last())
            recorder.answer(vbOK); // the message box after a wrong answer
    }
    RunSpreadMenuCommand(&w.form, w.grid, 8, QString());

    QStringList gotMessages, gotDefaults;
    for (const MsgPrompt& p : recorder.prompts()) {
        if (p.kind == MsgPrompt::Kind::Input) {
            QCOMPARE(p.text,
                     QStringLiteral("몇줄마다 구분선을 표시하시겠습니까?\r\n\r\n가능범위: 2 ~ 10000"));
            QCOMPARE(p.title, gAppTitle);
            gotDefaults << p.defaultText;
        } else {
            QCOMPARE(p.icon, MsgIcon::Information);
            gotMessages << p.text;
        }
    }
    QCOMPARE(gotMessages, messages);
    QCOMPARE(gotDefaults, defaults);
    const bool cancelled = answers == QStringList{""};
    for (int r = 1; r <= w.grid->MaxRows(); ++r) {
        const OleColor expected = green.contains(r)                  ? Rgb(0, 255, 0)
                                  : r == 8                           ? Rgb(1, 2, 3)
                                  : (r == 2 || r == 7) && !cancelled ? Rgb(255, 255, 255)
                                                                     : kSysWindowBackground;
        QCOMPARE(w.grid->BackColor(-1, r), expected);
    }
    QVERIFY(!QFile::exists(iniPath())); // not stored
}

void MenuTest::rowNumberWidthCommand()
{
    Window w;
    w.grid->SetColWidth(0, 3.7);
    MsgRecorder recorder;
    recorder.answerText(QStringLiteral("0"));
    recorder.answerText(QStringLiteral("10"));
    recorder.answerText(QStringLiteral("5"));
    RunSpreadMenuCommand(&w.form, w.grid, 9, QString());
    QCOMPARE(recorder.count(), 3);
    QCOMPARE(recorder.last().text,
             QStringLiteral("변경할 그리드의 줄번호 넓이를 입력하세요.(입력범위: 1~9)"));
    QCOMPARE(recorder.last().title, QStringLiteral("그리드 줄번호 넓이 변경"));
    QCOMPARE(recorder.last().defaultText, QStringLiteral("3"));
    QCOMPARE(w.grid->ColWidth(0), 5.0);
    recorder.clear();
    recorder.answerText(QStringLiteral("5"));
    RunSpreadMenuCommand(&w.form, w.grid, 9, QString());
    QCOMPARE(w.grid->ColWidth(0), 5.0);
    QVERIFY(!QFile::exists(iniPath()));
}

void MenuTest::otherNumbersDoNothing()
{
    Window w;
    MsgRecorder recorder;
    for (int command : {0, 5, 10, -1, 99})
        RunSpreadMenuCommand(&w.form, w.grid, command, QString());
    RunSpreadMenuCommand(&w.form, nullptr, 1, QString());
    QCOMPARE(recorder.count(), 0);
}

void MenuTest::reportColumnsFirstUse()
{
    Window w;
    w.grid->SetColHidden(4, true);
    FrmSprRPTCol dialog(&w.form);
    dialog.SetParam(&w.form, w.grid);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("보고서용 컬럼설정"));
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
    QCOMPARE(list->count(), 4);
    QList<int> cols;
    for (int i = 0; i < list->count(); ++i) {
        QCOMPARE(list->item(i)->checkState(), Qt::Checked);
        cols << list->item(i)->data(Qt::UserRole).toInt();
    }
    QCOMPARE(cols, (QList<int>{1, 2, 3, 5}));
    QCOMPARE(list->item(3)->text(), QStringLiteral("제목"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
             QStringLiteral("- 체크한 컬럼만 보고서에 나타납니다."));
}

void MenuTest::reportColumnsSaveAndReadBack()
{
    Window w;
    w.grid->SetColHidden(4, true);
    SaveSpreadIni_Gn(&w.form, w.grid, QStringLiteral("FontSize"), QStringLiteral("11"), QString());
    profile::WriteString(iniPath(), QStringLiteral("spList_RPTCOL"), QStringLiteral("3"),
                         QStringLiteral("0"));
    profile::WriteString(iniPath(), QStringLiteral("spList_RPTCOL"), QStringLiteral("5"),
                         QStringLiteral("10"));
    {
        FrmSprRPTCol dialog(&w.form);
        dialog.SetParam(&w.form, w.grid);
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);   // no key: ticked
        QCOMPARE(list->item(2)->checkState(), Qt::Unchecked); // "0"
        QCOMPARE(list->item(3)->checkState(), Qt::Checked);   // "10" read as "1"
        list->item(1)->setCheckState(Qt::Unchecked);
        dialog.show();
        MsgRecorder recorder;
        dialog.findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        QCOMPARE(recorder.texts(), QStringList{QStringLiteral("저장을 완료하였습니다.")});
        QCOMPARE(recorder.last().icon, MsgIcon::None);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible()); // closed without the question
    }
    const auto stored = [this](int col) {
        return profile::ReadString(iniPath(), QStringLiteral("spList_RPTCOL"), QString::number(col),
                                   QStringLiteral("-"));
    };
    QCOMPARE(stored(1), QStringLiteral("1"));
    QCOMPARE(stored(2), QStringLiteral("0"));
    QCOMPARE(stored(3), QStringLiteral("0"));
    QCOMPARE(stored(4), QStringLiteral("-")); // hidden: not written
    QCOMPARE(stored(5), QStringLiteral("1"));
    QCOMPARE(general("FontSize"), QStringLiteral("11")); // other sections kept
}

void MenuTest::reportColumnsUnsavedChangeAsks()
{
    Window w;
    FrmSprRPTCol dialog(&w.form);
    dialog.SetParam(&w.form, w.grid);
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
    MsgRecorder recorder;
    dialog.show();
    dialog.close(); // nothing changed: no question
    QVERIFY(!dialog.isVisible());
    QCOMPARE(recorder.count(), 0);

    dialog.show();
    dialog.findChild<QCheckBox*>(QStringLiteral("chkAll"))->click(); // on: already all ticked
    dialog.findChild<QCheckBox*>(QStringLiteral("chkAll"))->click(); // off: every entry unticked
    for (int i = 0; i < list->count(); ++i)
        QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);
    recorder.answer(vbNo);
    dialog.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    QVERIFY(dialog.isVisible());
    recorder.answer(vbNo);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(recorder.texts(),
             QStringList(2, QStringLiteral("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?")));
    QCOMPARE(recorder.last().icon, MsgIcon::Question);
    QCOMPARE(recorder.last().defaultButton, int(vbNo));
    recorder.answer(vbYes);
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!QFile::exists(iniPath()));
}

QTEST_MAIN(MenuTest)
#include "tst_menu.moc"
