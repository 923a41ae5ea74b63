#include "FieldWindow.h"
#include "controls/HCCombo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QtTest>

namespace {

// The combo box between two plain fields, its Click and KeyDown events recorded.
struct Form : FieldWindow<HCCombo>
{
    Form() : FieldWindow(QStringLiteral("cmbUser"))
    {
        QObject::connect(field, &HCCombo::Click, [this] { events << QStringLiteral("Click"); });
        QObject::connect(field, &HCCombo::KeyDown,
                         [this](int code, int) { events << QStringLiteral("KeyDown(%1)").arg(code); });
        show();
    }
};

} // namespace

class HCComboTest : public QObject
{
    Q_OBJECT

private slots:
    void itemDataRule_data();
    void itemDataRule();
    void entriesStayAligned();
    void findAndSelect();
    void keys_data();
    void keys();
    void focusColourAndList();
};

void HCComboTest::itemDataRule_data()
{
    QTest::addColumn<QString>("item2");
    QTest::addColumn<int>("itemData");
    QTest::newRow("number") << "12" << 12;
    QTest::newRow("code") << "X1" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("too large") << "2147483648" << 0;
    QTest::newRow("negative") << "-2147483647" << -2147483647;
    QTest::newRow("too small") << "-2147483648" << 0;
    QTest::newRow("fraction rounds") << "12.6" << 13;
    QTest::newRow("half rounds to even") << "12.5" << 12;
}

void HCComboTest::itemDataRule()
{
    QFETCH(QString, item2);
    QFETCH(int, itemData);
    HCCombo c;
    c.AddItem(QStringLiteral("first"));
    c.AddItem(QStringLiteral("entry"), -1, item2);
    QCOMPARE(c.ItemData(1), itemData);
    QCOMPARE(c.List2(1), item2);
    QCOMPARE(c.ItemData(0), 0);
    QCOMPARE(c.NewIndex(), 1);
}

void HCComboTest::entriesStayAligned()
{
    Form f;
    HCCombo* c = f.field;
    c->AddItem(QStringLiteral("김철수"), 0, QStringLiteral("kim"));
    c->AddItem(QStringLiteral("이영희"), 0, QStringLiteral("lee"));
    c->AddItem(QStringLiteral("[전체]"), 0, QStringLiteral("1"));
    c->AddItem(QStringLiteral("박민수"), 2, QStringLiteral("7"));
    QCOMPARE(c->ListCount(), 4);
    QCOMPARE(c->NewIndex(), 2);
    const QStringList shown{c->List(0), c->List(1), c->List(2), c->List(3)};
    const QStringList keys{c->List2(0), c->List2(1), c->List2(2), c->List2(3)};
    QCOMPARE(shown, (QStringList{"[전체]", "이영희", "박민수", "김철수"}));
    QCOMPARE(keys, (QStringList{"1", "lee", "7", "kim"}));
    QCOMPARE(c->ItemData(0), 1);
    QCOMPARE(c->ItemData(2), 7);
    // Adding selects nothing and is no selection.
    QCOMPARE(c->ListIndex(), -1);
    QCOMPARE(c->Text(), QString());
    QCOMPARE(c->Text2(), QString());
    QCOMPARE(c->ItemData(), 0);
    QVERIFY(f.events.isEmpty());

    c->setListIndex(1);
    QCOMPARE(f.events, QStringList{"Click"});
    QCOMPARE(c->Text(), QStringLiteral("이영희"));
    QCOMPARE(c->Text2(), QStringLiteral("lee"));
    // An entry inserted above the selection keeps the selection on its entry.
    c->AddItem(QStringLiteral("최"), 0, QStringLiteral("choi"));
    QCOMPARE(c->ListIndex(), 2);
    QCOMPARE(c->Text2(), QStringLiteral("lee"));
    QCOMPARE(f.events, QStringList{"Click"});

    c->setList(2, QStringLiteral("이영희2"));
    c->setList2(2, QStringLiteral("lee2"));
    c->setItemData(2, 99);
    QCOMPARE(c->Text(), QStringLiteral("이영희2"));
    QCOMPARE(c->Text2(), QStringLiteral("lee2"));
    QCOMPARE(c->ItemData(), 99);
    // Indexes outside the list change nothing and read empty.
    c->setList(9, QStringLiteral("x"));
    c->setListIndex(9);
    QCOMPARE(c->ListIndex(), 2);
    QCOMPARE(c->List(9), QString());

    c->Clear();
    QCOMPARE(c->ListCount(), 0);
    QCOMPARE(c->ListIndex(), -1);
    QCOMPARE(c->NewIndex(), -1);
    QCOMPARE(c->Text2(), QString());
    QCOMPARE(f.events, QStringList{"Click"});
}

void HCComboTest::findAndSelect()
{
    Form f;
    HCCombo* c = f.field;
    c->AddItem(QStringLiteral("[프로그램]"));
    c->AddItem(QStringLiteral("누리셈"), -1, QStringLiteral("101"));
    c->AddItem(QStringLiteral("세무사랑"), -1, QStringLiteral("A7"));
    c->setListIndex(0);
    f.events.clear();

    QCOMPARE(c->FindItemData(101), 1);
    QCOMPARE(c->FindItemData(5), -1);
    QCOMPARE(c->FindCODE(QStringLiteral("A7")), 2);
    QCOMPARE(c->ListIndex(), 0);
    QCOMPARE(c->FindCODE(QStringLiteral("a7"), true), -1); // exact match only
    QCOMPARE(c->ListIndex(), 0);
    QVERIFY(f.events.isEmpty());

    QCOMPARE(c->FindCODE(QStringLiteral("A7"), true), 2);
    QCOMPARE(c->ListIndex(), 2);
    QCOMPARE(c->Text2(), QStringLiteral("A7"));
    QCOMPARE(f.events, QStringList{"Click"});

    // A selection by the user: Down arrow in the closed list.
    f.events.clear();
    c->setListIndex(1);
    QVERIFY(f.enter());
    QApplication::processEvents(); // the list opened on entry
    c->hwnd()->hidePopup();
    f.events.clear();
    QTest::keyClick(c->hwnd(), Qt::Key_Down);
    QCOMPARE(c->ListIndex(), 2);
    QCOMPARE(c->Text2(), QStringLiteral("A7"));
    QCOMPARE(f.events, (QStringList{"KeyDown(40)", "Click"}));

    // While the control is hidden a selection is not passed on.
    f.events.clear();
    c->hide();
    c->setListIndex(0);
    QCOMPARE(c->Text2(), QString());
    QVERIFY(f.events.isEmpty());
}

void HCComboTest::keys_data()
{
    QTest::addColumn<bool>("autoTab");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("listIndex");
    QTest::newRow("Enter goes on") << true << int(Qt::Key_Return) << "txtAfter" << 1;
    QTest::newRow("Right goes on") << true << int(Qt::Key_Right) << "txtAfter" << 1;
    QTest::newRow("Left goes back") << true << int(Qt::Key_Left) << "txtBefore" << 1;
    QTest::newRow("Down moves in the list") << true << int(Qt::Key_Down) << "cmbMain" << 2;
    QTest::newRow("Up moves in the list") << true << int(Qt::Key_Up) << "cmbMain" << 0;
    QTest::newRow("Enter stays without AutoTab") << false << int(Qt::Key_Return) << "cmbMain" << 1;
    QTest::newRow("Right stays without AutoTab") << false << int(Qt::Key_Right) << "cmbMain" << 1;
    QTest::newRow("Left stays without AutoTab") << false << int(Qt::Key_Left) << "cmbMain" << 1;
}

void HCComboTest::keys()
{
    QFETCH(bool, autoTab);
    QFETCH(int, key);
    QFETCH(QString, focused);
    QFETCH(int, listIndex);
    Form f;
    f.field->setAutoTab(autoTab);
    f.field->setAutoShowItem(false);
    for (const char* name : {"a", "b", "c"})
        f.field->AddItem(QString::fromLatin1(name));
    f.field->setListIndex(1);
    QVERIFY(f.enter());
    f.events.clear();
    QTest::keyClick(f.field->hwnd(), Qt::Key(key));
    QCOMPARE(f.focused(), focused);
    QCOMPARE(f.field->ListIndex(), listIndex);
    QVERIFY(f.events.value(0).startsWith(QStringLiteral("KeyDown(")));
}

void HCComboTest::focusColourAndList()
{
    Form f;
    HCCombo* c = f.field;
    QCOMPARE(c->BackColor(), 0x80000005u);
    QCOMPARE(c->ForeColor(), 0x80000008u);
    QVERIFY(c->AutoTab());
    QVERIFY(c->AutoShowItem());
    QCOMPARE(c->FocusEffectParam(), 0xC0E0FFu);
    QCOMPARE(c->height(), c->hwnd()->height());
    c->resize(300, 80); // never taller than one line
    QCOMPARE(c->height(), c->hwnd()->sizeHint().height());
    QCOMPARE(c->hwnd()->width(), 300);

    for (int i = 0; i < 20; ++i)
        c->AddItem(QStringLiteral("entry %1").arg(i));
    c->SetListSize(3000, 2400); // 200 x 160 pixels
    QCOMPARE(c->listWidth(), 200);
    QCOMPARE(c->listHeight(), 160);
    c->setFocusEffect(true);
    c->setFocusEffectParam(0x00FFFF);

    QVERIFY(f.enter());
    QCOMPARE(c->BackColor(), 0x00FFFFu);
    QCOMPARE(c->hwnd()->palette().color(QPalette::Button), QColor(Qt::yellow));
    QTRY_VERIFY(c->hwnd()->view()->isVisible()); // the list opens on entry
    QWidget* popup = c->hwnd()->view()->window();
    QCOMPARE(popup->width(), 200);
    QCOMPARE(popup->height(), 160 - c->hwnd()->height());
    c->hwnd()->hidePopup();
    QTRY_VERIFY(!c->hwnd()->view()->isVisible());
    QTRY_VERIFY(c->hwnd()->hasFocus());
    QCOMPARE(c->BackColor(), 0x00FFFFu); // the opened list is no leaving

    f.after->setFocus(Qt::TabFocusReason);
    QCOMPARE(c->BackColor(), 0xFFFFFFu);

    // Without AutoShowItem the list stays closed.
    c->setAutoShowItem(false);
    QVERIFY(f.enter());
    QApplication::processEvents();
    QVERIFY(!c->hwnd()->view()->isVisible());
}

QTEST_MAIN(HCComboTest)
#include "tst_hccombo.moc"
