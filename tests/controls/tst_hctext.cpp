#include "FieldWindow.h"
#include "MsgRecorder.h"
#include "common/Globals.h"
#include "common/OleColor.h"
#include "controls/HCText.h"
#include "platform/InputMode.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>
#include <memory>

namespace {

// The formatted text box between two plain fields, its events recorded.
struct Form : FieldWindow<HCText>
{
    Form() : FieldWindow(QStringLiteral("htField"))
    {
        field->setFixedSize(100, 20);
        QObject::connect(field, &HCText::KeyDown, [this](int code, int shift) {
            events << QStringLiteral("KeyDown(%1,%2)").arg(code).arg(shift);
        });
        QObject::connect(field, &HCText::KeyPress,
                         [this](int& k) { events << QStringLiteral("KeyPress(%1)").arg(k); });
        QObject::connect(field, &HCText::KeyUp, [this](int code, int shift) {
            events << QStringLiteral("KeyUp(%1,%2)").arg(code).arg(shift);
        });
        QObject::connect(field, &HCText::Change, [this] { events << QStringLiteral("Change"); });
        QObject::connect(field, &HCText::Click, [this] { events << QStringLiteral("Click"); });
        QObject::connect(field, &HCText::DblClick, [this] { events << QStringLiteral("DblClick"); });
        show();
    }
};

// One key: a character, or BS, DEL, kp. (the numeric pad's point), Enter, Up, Down.
void press(QWidget* target, const QString& key)
{
    if (key == QLatin1String("BS"))
        QTest::keyClick(target, Qt::Key_Backspace);
    else if (key == QLatin1String("DEL"))
        QTest::keyClick(target, Qt::Key_Delete);
    else if (key == QLatin1String("kp."))
        QTest::keyClick(target, Qt::Key_Period, Qt::KeypadModifier);
    else if (key == QLatin1String("Enter"))
        QTest::keyClick(target, Qt::Key_Return);
    else if (key == QLatin1String("Up"))
        QTest::keyClick(target, Qt::Key_Up);
    else if (key == QLatin1String("Down"))
        QTest::keyClick(target, Qt::Key_Down);
    else if (key.at(0).unicode() < 0x80)
        QTest::keyClick(target, key.at(0).toLatin1());
    else // a Hangul syllable arriving as a key with its text
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, key, Qt::NoModifier);
}

void typeText(QWidget* target, const QString& text)
{
    for (QChar c : text)
        press(target, QString(c));
}

void commitText(QWidget* target, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

QString lengthMessage(int n, int max)
{
    return QStringLiteral(
               "최대 입력 길이를 초과하였습니다. 입력된 자료는 길이에 맞게 자동으로 짤립니다.\r\n\r\n"
               "현재 입력된 길이는 %1 이며, 최대입력 길이는 %2 입니다.\r\n"
               "(한글은 한 글자당 길이가 2입니다.)")
        .arg(n)
        .arg(max);
}

} // namespace

class HCTextTest : public QObject
{
    Q_OBJECT

private slots:
    void numberTyping_data();
    void numberTyping();
    void acceptTypeFilters_data();
    void acceptTypeFilters();
    void byteLimit_data();
    void byteLimit();
    void leavingTheField_data();
    void leavingTheField();
    void focusMoves_data();
    void focusMoves();
    void eventsReachTheHost();
    void textPropertyAndChangedFlag();
    void propertiesAndLoading();
    void focusColourAndBorder();
    void inputModeMemory_data();
    void inputModeMemory();
};

void HCTextTest::numberTyping_data()
{
    QTest::addColumn<int>("decPlace");
    QTest::addColumn<bool>("separators");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("caret"); // placed after entering; -1: as entering leaves it
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("carets");

    QTest::newRow("1 2 3 4 . 5 with two decimals")
        << 2 << true << "" << -1 << QStringList{"1", "2", "3", "4", ".", "5"}
        << QStringList{"1.00", "12.00", "123.00", "1,234.00", "1,234.00", "1,234.50"}
        << QList<int>{1, 2, 3, 5, 6, 7};
    QTest::newRow("numeric pad point jumps too") << 2 << true << "12" << 1 << QStringList{"kp.", "7"}
                                                 << QStringList{"12.00", "12.70"} << QList<int>{3, 4};
    QTest::newRow("backspace just after the point does nothing")
        << 2 << true << "1234.5" << 6 << QStringList{"BS"} << QStringList{"1,234.50"} << QList<int>{6};
    QTest::newRow("delete just before the point does nothing")
        << 2 << true << "1234.5" << 5 << QStringList{"DEL"} << QStringList{"1,234.50"} << QList<int>{5};
    QTest::newRow("backspace a digit drops a separator")
        << 2 << true << "1234" << 5 << QStringList{"BS"} << QStringList{"123.00"} << QList<int>{3};
    QTest::newRow("delete a decimal refills it")
        << 2 << true << "1234.5" << 6 << QStringList{"DEL"} << QStringList{"1,234.00"} << QList<int>{7};
    QTest::newRow("a digit typed into the decimals overwrites")
        << 2 << true << "1" << 2 << QStringList{"5", "7"} << QStringList{"1.50", "1.57"} << QList<int>{3, 4};
    QTest::newRow("minus then zero keeps the sign") << 0 << true << "" << -1 << QStringList{"-", "0", "5"}
                                                    << QStringList{"-", "-0", "-5"} << QList<int>{1, 2, 2};
    QTest::newRow("minus zero with decimals")
        << 2 << true << "" << -1 << QStringList{"-", "0"} << QStringList{"-", "-0.00"} << QList<int>{1, 2};
    QTest::newRow("minus after digits moves to the front")
        << 0 << true << "" << -1 << QStringList{"1", "2", "-"} << QStringList{"1", "12", "-12"}
        << QList<int>{1, 2, 3};
    QTest::newRow("thousands appear while typing")
        << 0 << true << "" << -1 << QStringList{"1", "2", "3", "4", "5"}
        << QStringList{"1", "12", "123", "1,234", "12,345"} << QList<int>{1, 2, 3, 5, 6};
    QTest::newRow("letters and the point are refused") << 0 << true << "" << -1 << QStringList{"a", ".", "가"}
                                                       << QStringList{"", "", ""} << QList<int>{0, 0, 0};
    QTest::newRow("without separators the text stays as typed")
        << 2 << false << "" << -1 << QStringList{"1", "2", "-", "."} << QStringList{"1", "12", "12-", "12-"}
        << QList<int>{1, 2, 3, 0};
}

void HCTextTest::numberTyping()
{
    QFETCH(int, decPlace);
    QFETCH(bool, separators);
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, carets);

    Form f;
    f.field->setAcceptType(HCText::Number);
    f.field->setDecPlace(decPlace);
    f.field->setShowSeparate(separators);
    f.field->setText(start);
    QVERIFY(f.enter());
    if (caret >= 0)
        f.field->setSelStart(caret);
    for (int i = 0; i < keys.size(); ++i) {
        press(f.field->hwnd(), keys[i]);
        QCOMPARE(f.field->hwnd()->text(), texts[i]);
        QCOMPARE(f.field->SelStart(), carets[i]);
    }
}

void HCTextTest::acceptTypeFilters_data()
{
    QTest::addColumn<int>("acceptType");
    QTest::addColumn<int>("convertCase");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("any text takes everything") << 0 << 0 << "Ab1-.가"
                                               << "Ab1-.가";
    QTest::newRow("any text to upper case") << 0 << 1 << "ab가c"
                                            << "AB가C";
    QTest::newRow("any text to lower case") << 0 << 2 << "AbC"
                                            << "abc";
    QTest::newRow("number: digits and minus") << 1 << 1 << "1a2가-"
                                              << "12-";
    QTest::newRow("letters only") << 2 << 0 << "a1B-가c"
                                  << "aBc";
    QTest::newRow("letters to upper case") << 2 << 1 << "ab1c"
                                           << "ABC";
    QTest::newRow("telephone: digits only") << 3 << 1 << "02-12a3"
                                            << "02123";
    QTest::newRow("time: digits only") << 4 << 0 << "14:25"
                                       << "1425";
    QTest::newRow("dashed ten digits: digits only") << 5 << 0 << "123-456"
                                                    << "123456";
    QTest::newRow("unknown type behaves as any text") << 9 << 1 << "a-1"
                                                      << "A-1";
}

void HCTextTest::acceptTypeFilters()
{
    QFETCH(int, acceptType);
    QFETCH(int, convertCase);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Form f;
    f.field->setAcceptType(acceptType);
    f.field->setConvertCase(convertCase);
    QVERIFY(f.enter());
    typeText(f.field->hwnd(), typed);
    QCOMPARE(f.field->hwnd()->text(), expected);

    // Text composed by the input method passes the same filter.
    f.field->hwnd()->clear();
    commitText(f.field->hwnd(), typed);
    QCOMPARE(f.field->hwnd()->text(), expected);
}

void HCTextTest::byteLimit_data()
{
    QTest::addColumn<int>("acceptType");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("committed"); // input-method commits
    QTest::addColumn<QString>("hostText");
    QTest::addColumn<QString>("expected"); // after leaving the field
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    QTest::newRow("hangul typed is cut at once") << 0 << 4 << "가나다" << none << ""
                                                 << "가나" << none;
    QTest::newRow("hangul from the input method is cut at once")
        << 0 << 4 << "" << QStringList{"가", "나", "다"} << ""
        << "가나" << none;
    QTest::newRow("typing stops at the limit") << 0 << 4 << "abcde" << none << ""
                                               << "abcd" << none;
    QTest::newRow("a half syllable never stays") << 0 << 3 << "a가나" << none << ""
                                                 << "a가" << none;
    QTest::newRow("too long on leaving") << 0 << 4 << "" << none << "가나다"
                                         << "가나" << QStringList{lengthMessage(6, 4)};
    QTest::newRow("odd limit on leaving keeps whole syllables") << 0 << 5 << "" << none << "가나다"
                                                                << "가나" << QStringList{lengthMessage(6, 5)};
    QTest::newRow("ascii too long on leaving") << 0 << 4 << "" << none << "abcdef"
                                               << "abcd" << QStringList{lengthMessage(6, 4)};
    QTest::newRow("within the limit nothing is said") << 0 << 4 << "" << none << "가나"
                                                      << "가나" << none;
    QTest::newRow("number field is not measured on leaving") << 1 << 2 << "" << none << "12345"
                                                             << "12345" << none;
    QTest::newRow("telephone formatted first, then cut")
        << 3 << 12 << "" << none << "01012345678"
        << "010-1234-567" << QStringList{lengthMessage(13, 12)};
}

void HCTextTest::byteLimit()
{
    QFETCH(int, acceptType);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QStringList, committed);
    QFETCH(QString, hostText);
    QFETCH(QString, expected);
    QFETCH(QStringList, messages);

    MsgRecorder msgs;
    Form f;
    f.field->setAcceptType(acceptType);
    f.field->setMaxLength(maxLength);
    QVERIFY(f.enter());
    typeText(f.field->hwnd(), typed);
    for (const QString& c : committed)
        commitText(f.field->hwnd(), c);
    if (!hostText.isEmpty())
        f.field->setText(hostText);
    else
        QCOMPARE(f.field->hwnd()->text(), expected); // already cut while typing
    QCOMPARE(msgs.count(), 0);
    f.leave();
    QCOMPARE(f.field->hwnd()->text(), expected);
    QCOMPARE(msgs.texts(), messages);
    for (const MsgPrompt& p : msgs.prompts()) {
        QCOMPARE(p.title, QStringLiteral("입력길이 초과"));
        QCOMPARE(p.icon, MsgIcon::Information);
        QCOMPARE(p.buttons, MsgButtons::Ok);
    }
}

void HCTextTest::leavingTheField_data()
{
    QTest::addColumn<int>("acceptType");
    QTest::addColumn<int>("decPlace");
    QTest::addColumn<bool>("separators");
    QTest::addColumn<QString>("hostText");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("messages");
    QTest::newRow("number left empty") << 1 << 0 << false << ""
                                       << "0" << 0;
    QTest::newRow("number of blanks") << 1 << 0 << false << "   "
                                      << "0" << 0;
    QTest::newRow("lone minus") << 1 << 0 << false << "-"
                                << "0" << 0;
    QTest::newRow("number left empty with decimals") << 1 << 2 << true << ""
                                                     << "0.00" << 0;
    QTest::newRow("number kept") << 1 << 0 << false << "12"
                                 << "12" << 0;
    QTest::newRow("trailing blanks removed") << 0 << 0 << false << "abc   "
                                             << "abc" << 0;
    QTest::newRow("leading blanks kept") << 0 << 0 << false << "  abc"
                                         << "  abc" << 0;
    QTest::newRow("letters trailing blanks") << 2 << 0 << false << "ab  "
                                             << "ab" << 0;
    QTest::newRow("telephone") << 3 << 0 << false << "0212345678"
                               << "02-1234-5678" << 0;
    QTest::newRow("short telephone unchanged") << 3 << 0 << false << "02123"
                                               << "02123" << 0;
    QTest::newRow("time") << 4 << 0 << false << "1425"
                          << "14:25" << 0;
    QTest::newRow("three-digit time emptied silently") << 4 << 0 << false << "930"
                                                       << "" << 0;
    QTest::newRow("hour 25 emptied with a message") << 4 << 0 << false << "25"
                                                    << "" << 1;
    QTest::newRow("ten digits") << 5 << 0 << false << "1234567890"
                                << "123-456-7890" << 0;
    QTest::newRow("ten digits with dashes") << 5 << 0 << false << "12-34-567890"
                                            << "123-456-7890" << 0;
    QTest::newRow("fewer digits padded") << 5 << 0 << false << "12345"
                                         << "000-001-2345" << 0;
    QTest::newRow("more digits in the first group") << 5 << 0 << false << "12345678901"
                                                    << "1234-567-8901" << 0;
}

void HCTextTest::leavingTheField()
{
    QFETCH(int, acceptType);
    QFETCH(int, decPlace);
    QFETCH(bool, separators);
    QFETCH(QString, hostText);
    QFETCH(QString, expected);
    QFETCH(int, messages);
    MsgRecorder msgs;
    Form f;
    f.field->setAcceptType(acceptType);
    f.field->setDecPlace(decPlace);
    f.field->setShowSeparate(separators);
    QVERIFY(f.enter());
    f.field->setText(hostText);
    f.leave();
    QCOMPARE(f.field->hwnd()->text(), expected);
    QCOMPARE(msgs.count(), messages);
    QCOMPARE(f.focused(), QStringLiteral("txtAfter"));
}

void HCTextTest::focusMoves_data()
{
    QTest::addColumn<bool>("autoTab");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("focused");
    QTest::newRow("Enter goes on") << true << "Enter"
                                   << "txtAfter";
    QTest::newRow("Down goes on") << true << "Down"
                                  << "txtAfter";
    QTest::newRow("Up goes back") << true << "Up"
                                  << "txtBefore";
    QTest::newRow("Enter stays without AutoTab") << false << "Enter"
                                                 << "txtBox";
    QTest::newRow("Down stays without AutoTab") << false << "Down"
                                                << "txtBox";
    QTest::newRow("Up stays without AutoTab") << false << "Up"
                                              << "txtBox";
}

void HCTextTest::focusMoves()
{
    QFETCH(bool, autoTab);
    QFETCH(QString, key);
    QFETCH(QString, focused);
    Form f;
    f.field->setAutoTab(autoTab);
    f.field->setText(QStringLiteral("abc"));
    QVERIFY(f.enter());
    press(f.field->hwnd(), key);
    QCOMPARE(f.focused(), focused);
    QCOMPARE(f.field->hwnd()->text(), QStringLiteral("abc")); // Enter is never typed
}

void HCTextTest::eventsReachTheHost()
{
    Form f;
    QVERIFY(f.enter());
    f.events.clear();
    press(f.field->hwnd(), QStringLiteral("a"));
    QCOMPARE(f.events, (QStringList{"KeyDown(65,0)", "KeyPress(97)", "Change", "KeyUp(65,0)"}));

    // The host may change a key, drop it, or turn it into Enter.
    QObject::connect(f.field, &HCText::KeyPress, [](int& k) {
        if (k == 'b')
            k = 'x';
        else if (k == 'c')
            k = 0;
        else if (k == 'e')
            k = 13;
    });
    typeText(f.field->hwnd(), QStringLiteral("bcd"));
    QCOMPARE(f.field->hwnd()->text(), QStringLiteral("axd"));
    press(f.field->hwnd(), QStringLiteral("e"));
    QCOMPARE(f.focused(), QStringLiteral("txtAfter"));

    // A cancelled Delete before the point reaches the host only as KeyUp.
    Form n;
    n.field->setAcceptType(HCText::Number);
    n.field->setDecPlace(2);
    n.field->setShowSeparate(true);
    n.field->setText(QStringLiteral("5"));
    QVERIFY(n.enter());
    n.field->setSelStart(1);
    n.events.clear();
    press(n.field->hwnd(), QStringLiteral("DEL"));
    QCOMPARE(n.events, QStringList{"KeyUp(46,0)"});

    n.events.clear();
    QTest::mouseClick(n.field->hwnd(), Qt::LeftButton);
    QTest::mouseDClick(n.field->hwnd(), Qt::LeftButton);
    QVERIFY(n.events.contains(QStringLiteral("Click")));
    QVERIFY(n.events.contains(QStringLiteral("DblClick")));
}

void HCTextTest::textPropertyAndChangedFlag()
{
    MsgRecorder msgs;
    Form f;
    f.field->setAcceptType(HCText::Number);
    f.field->setShowSeparate(true);
    f.field->setText(QStringLiteral("12345"));
    QCOMPARE(f.field->hwnd()->text(), QStringLiteral("12,345"));
    QCOMPARE(f.field->Text(), QStringLiteral("12345"));
    QVERIFY(f.field->bChanged());

    // Entering resets the flag and selects the whole text; typing sets it again.
    QVERIFY(f.enter());
    QVERIFY(!f.field->bChanged());
    QCOMPARE(f.field->hwnd()->selectedText(), QStringLiteral("12,345"));
    press(f.field->hwnd(), QStringLiteral("7"));
    QVERIFY(f.field->bChanged());
    QCOMPARE(f.field->Text(), QStringLiteral("7"));

    // The host cannot set the flag.
    QVERIFY(!f.field->setProperty("bChanged", false));
    QVERIFY(f.field->bChanged());

    // Separators switched on round to a whole number first; the decimals follow.
    f.field->setShowSeparate(false);
    f.field->setDecPlace(2);
    f.field->setText(QStringLiteral("1234.56"));
    f.field->setShowSeparate(true);
    QCOMPARE(f.field->hwnd()->text(), QStringLiteral("1,235.00"));
    QCOMPARE(f.field->Text(), QStringLiteral("1235.00"));
    f.field->setShowSeparate(false);
    QCOMPARE(f.field->hwnd()->text(), QStringLiteral("1235"));

    // A negative number of decimals is refused.
    f.field->setDecPlace(-1);
    QCOMPARE(f.field->DecPlace(), 0);
    QCOMPARE(msgs.texts(), QStringList{"음수는 설정할 수 없습니다."});
    QCOMPARE(msgs.last().icon, MsgIcon::None);
    QCOMPARE(msgs.last().title, QStringLiteral("타벤 A/S관리"));
}

void HCTextTest::propertiesAndLoading()
{
    HCText fresh;
    QCOMPARE(fresh.Text(), QString());
    QCOMPARE(fresh.AutoTab(), true);
    QCOMPARE(fresh.Appearance(), 1);
    QCOMPARE(fresh.BorderStyle(), 1);
    QCOMPARE(fresh.EdgeWidth(), 1);
    QCOMPARE(fresh.FocusEffectParam(), 0xC0E0FFu);
    QCOMPARE(fresh.BackColor(), 0xFFFFFFu);
    QCOMPARE(fresh.ForeColor(), 0x80000008u);
    QVERIFY(!fresh.bChanged());
    QCOMPARE(fresh.hwnd()->objectName(), QStringLiteral("txtBox"));

    // A saved number field: right-justified, empty text becomes 0, numbers reformatted.
    HCTextProperties p;
    p.AcceptType = HCText::Number;
    HCText empty;
    empty.ReadProperties(p);
    QCOMPARE(empty.hwnd()->text(), QStringLiteral("0"));
    QVERIFY(empty.hwnd()->alignment() & Qt::AlignRight);
    p.Text = QStringLiteral("1234567");
    p.ShowSeparate = true;
    HCText separated;
    separated.ReadProperties(p);
    QCOMPARE(separated.hwnd()->text(), QStringLiteral("1,234,567"));
    QVERIFY(!separated.bChanged());

    // Disabling greys the inner box; enabling makes it white again.
    fresh.setEnabled(false);
    QCOMPARE(fresh.BackColor(), 0xE0E0E0u);
    QCOMPARE(fresh.hwnd()->palette().color(QPalette::Disabled, QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    fresh.setEnabled(true);
    QCOMPARE(fresh.BackColor(), 0xFFFFFFu);

    fresh.setLocked(true);
    QVERIFY(fresh.hwnd()->isReadOnly());
    fresh.setConvertCase(1); // a converted key is no way around the lock
    QTest::keyClicks(fresh.hwnd(), QStringLiteral("ab"));
    QCOMPARE(fresh.hwnd()->text(), QString());
    fresh.setPasswordChar(QStringLiteral("*"));
    QCOMPARE(fresh.hwnd()->echoMode(), QLineEdit::Password);
}

void HCTextTest::focusColourAndBorder()
{
    Form f;
    f.field->setFocusEffect(true);
    f.field->setFocusEffectParam(0x00FFFF); // yellow
    f.field->setAppearance(0);
    f.field->setBorderStyle(0);
    f.field->setEdgeWidth(1);
    f.field->setEdgeColor(0x808080);
    f.field->setEdgeFocus(true);
    f.field->setEdgeFocusColor(0x0000FF); // red
    QWidget* top = f.field->findChild<QWidget*>(QStringLiteral("LineEdge0"));
    QWidget* right = f.field->findChild<QWidget*>(QStringLiteral("LineEdge3"));
    QVERIFY(top && right);
    QVERIFY(top->isVisible());
    QCOMPARE(top->geometry(), QRect(0, 0, 100, 1));
    QCOMPARE(right->geometry(), QRect(99, 0, 1, 20));
    QCOMPARE(f.field->hwnd()->geometry(), QRect(1, 1, 98, 18));

    QVERIFY(f.enter());
    QCOMPARE(f.field->BackColor(), 0x00FFFFu);
    QCOMPARE(f.field->hwnd()->palette().color(QPalette::Base), QColor(Qt::yellow));
    QCOMPARE(top->geometry(), QRect(0, 0, 100, 2));
    QCOMPARE(right->geometry(), QRect(98, 0, 2, 20));
    QCOMPARE(top->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(f.field->hwnd()->geometry(), QRect(2, 2, 96, 16));

    f.leave();
    QCOMPARE(f.field->BackColor(), 0xFFFFFFu);
    QCOMPARE(top->geometry(), QRect(0, 0, 100, 1));
    QCOMPARE(top->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    QCOMPARE(f.field->hwnd()->geometry(), QRect(1, 1, 98, 18));

    // A three-dimensional or bordered box hides the lines and fills the control.
    f.field->setAppearance(1);
    QVERIFY(!top->isVisible());
    QCOMPARE(f.field->hwnd()->geometry(), QRect(0, 0, 100, 20));
}

void HCTextTest::inputModeMemory_data()
{
    QTest::addColumn<int>("osType");
    QTest::addColumn<bool>("restores");
    QTest::newRow("unknown system") << 0 << true;
    QTest::newRow("Vista and later") << 90 << true;
    QTest::newRow("XP keeps the mode itself") << 64 << false;
    QTest::newRow("unclassified") << -1 << true;
}

void HCTextTest::inputModeMemory()
{
    QFETCH(int, osType);
    QFETCH(bool, restores);
    // A stand-in input method: one mode for the whole desktop, as a user switches it.
    bool hangul = true;
    QList<bool> sets;
    SetInputModeBackendForTesting({[&](const QWidget*) { return hangul; },
                                   [&](bool mode, QWidget*) {
                                       sets << mode;
                                       hangul = mode;
                                   }});
    const int16_t savedOs = gOSType;
    gOSType = int16_t(osType);
    auto restore = qScopeGuard([&] {
        gOSType = savedOs;
        SetInputModeBackendForTesting({});
    });

    Form f;
    QCOMPARE(f.field->ImeRestore(), restores);
    QVERIFY(f.enter()); // first entry: Hangul remembered
    f.leave();
    hangul = false; // the user switched to English in another field
    f.field->setFocus(Qt::TabFocusReason);
    QCOMPARE(sets, restores ? QList<bool>{true} : QList<bool>{});
    QCOMPARE(hangul, restores);

    // Composing in the field records the mode in use.
    sets.clear();
    hangul = false;
    QInputMethodEvent composing(QStringLiteral("k"), {});
    QApplication::sendEvent(f.field->hwnd(), &composing);
    f.leave();
    hangul = true;
    f.field->setFocus(Qt::TabFocusReason);
    QCOMPARE(sets, restores ? QList<bool>{false} : QList<bool>{});

    // A field set to Hangul entry switches to Hangul on entry.
    Form g;
    g.field->setIMEMode(10);
    hangul = false;
    sets.clear();
    QVERIFY(g.enter());
    QCOMPARE(sets.value(0), true);
}

QTEST_MAIN(HCTextTest)
#include "tst_hctext.moc"
