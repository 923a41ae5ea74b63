#include "../../tools/FloatMsg/FloatMsgWindow.h"
#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/Globals.h"
#include "controls/HCCombo.h"
#include "controls/HCText.h"
#include "editor/FrmAS.h"
#include "grid/FrmSprRPTCol.h"
#include "grid/SpreadGrid.h"
#include "platform/MacAddress.h"
#include "records/Form2.h"
#include "records/FrmCompany.h"
#include "records/FrmMain.h"
#include "records/ShotBox.h"
#include "shell/frmLogin.h"
#include "windows/FrmExtend.h"
#include "windows/FrmZoom_Image.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>
#include <memory>

namespace {

const QString kDb = QStringLiteral("t_windowlook");

QString nameOf(const QObject* o)
{
    QString name =
        o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : o->objectName();
    if (auto* label = qobject_cast<const QLabel*>(o))
        name += QStringLiteral(" '%1'").arg(label->text());
    if (o->parent() &&
        (qobject_cast<const HCText*>(o->parent()) || qobject_cast<const HCCombo*>(o->parent())))
        name = nameOf(o->parent()) + QLatin1Char('/') + name;
    return name;
}

// Where a field is typed into, as a person sees it: the program's boxes, not their inner parts.
bool isField(const QWidget* w)
{
    if (w->parent() &&
        (qobject_cast<const HCText*>(w->parent()) || qobject_cast<const HCCombo*>(w->parent())))
        return false;
    return qobject_cast<const HCText*>(w) || qobject_cast<const HCCombo*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

// Controls whose height the font sets: one text line and their frame.
bool isOneLine(const QWidget* w)
{
    return !w->objectName().startsWith(QLatin1String("qt_")) &&
           (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
            qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QPushButton*>(w) ||
            qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w));
}

bool insideScrolledArea(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (p->objectName() == QLatin1String("qt_scrollarea_viewport"))
            return true;
    return false;
}

QRect placeIn(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint()), w->size());
}

bool unnamed(const QWidget* w)
{
    const QWidget* target = w->focusProxy() ? w->focusProxy() : w;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(target));
    return !iface || iface->text(QAccessible::Name).trimmed().isEmpty();
}

// What a screen reader lists: every field and button in the window's accessible tree has a name.
void unnamedFields(QAccessibleInterface* iface, QStringList& faults)
{
    static const QList<QAccessible::Role> fields = {
        QAccessible::EditableText, QAccessible::ComboBox,   QAccessible::SpinBox,       QAccessible::List,
        QAccessible::Table,        QAccessible::Tree,       QAccessible::PushButton,    QAccessible::CheckBox,
        QAccessible::RadioButton,  QAccessible::ButtonMenu, QAccessible::ButtonDropDown};
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (!child || child->state().invisible)
            continue;
        if (fields.contains(child->role())) {
            if (child->text(QAccessible::Name).trimmed().isEmpty())
                faults << nameOf(child->object()) + QStringLiteral(" has no accessible name");
            if (child->childCount() > 0 && child->role() != QAccessible::EditableText)
                continue; // entries, rows and cells are named by their texts
        }
        unnamedFields(child, faults);
    }
}

// The controls Tab visits, in the order it visits them.
QList<QWidget*> tabStops(QWidget* window)
{
    QList<QWidget*> stops;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
            w->window() == window && !stops.contains(w) && !insideScrolledArea(w, window))
            stops << w;
    }
    return stops;
}

// B comes before A as the eye reads: above it in the same column, or left of it in the same row.
bool readsBefore(const QRect& b, const QRect& a)
{
    const bool sameColumn = b.left() <= a.right() && a.left() <= b.right();
    const bool sameRow = (b.center().y() >= a.top() && b.center().y() <= a.bottom()) ||
                         (a.center().y() >= b.top() && a.center().y() <= b.bottom());
    return (sameColumn && b.bottom() < a.top()) || (sameRow && b.right() < a.left());
}

QStringList lookFaults(QWidget* window)
{
    QStringList faults;
    QList<QWidget*> shown;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (!w->isWindow() && w->isVisibleTo(window) && !w->size().isEmpty())
            shown << w;
    for (QWidget* w : shown) {
        const int least = qMax(w->fontMetrics().height(), w->minimumSizeHint().height());
        if (isOneLine(w) && w->height() < least)
            faults << QStringLiteral("%1 is %2 high, its text needs %3")
                          .arg(nameOf(w))
                          .arg(w->height())
                          .arg(least);
        if (!insideScrolledArea(w, window) && !window->rect().contains(placeIn(w, window)))
            faults << nameOf(w) + QStringLiteral(" lies outside the window");
        for (QWidget* other : shown)
            if (other != w && other->parentWidget() == w->parentWidget() &&
                shown.indexOf(other) > shown.indexOf(w) && other->geometry().intersects(w->geometry()))
                faults << nameOf(w) + QStringLiteral(" overlaps ") + nameOf(other);
        auto* label = qobject_cast<QLabel*>(w);
        if (!label || qobject_cast<ShotBox*>(w) || label->text().isEmpty() || label->buddy())
            continue;
        if (label->text().contains(QRegularExpression(QStringLiteral("&[^&]"))))
            faults << nameOf(w) + QStringLiteral(" has a mnemonic but no buddy");
        const QRect at = placeIn(label, window);
        for (QWidget* field : shown) {
            const QRect f = placeIn(field, window);
            if (isField(field) && unnamed(field) && f.left() >= at.right() && f.left() - at.right() < 30 &&
                f.top() <= at.center().y() && at.center().y() <= f.bottom())
                faults << nameOf(w) + QStringLiteral(" is no buddy of the unnamed ") + nameOf(field);
        }
    }
    unnamedFields(QAccessible::queryAccessibleInterface(window), faults);

    const QList<QWidget*> stops = tabStops(window);
    for (qsizetype i = 1; i < stops.size(); ++i)
        if (readsBefore(placeIn(stops[i], window), placeIn(stops[i - 1], window)))
            faults
                << QStringLiteral("Tab goes back from %1 to %2").arg(nameOf(stops[i - 1]), nameOf(stops[i]));
    const bool fixedSize = window->minimumSize() == window->maximumSize();
    if (fixedSize && window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint))
        faults << QStringLiteral("the window cannot be resized but offers to maximise");

    // Pictures and icons are drawn for the screen's pixels.
    const qreal ratio = window->devicePixelRatioF();
    for (QWidget* w : shown) {
        if (auto* label = qobject_cast<QLabel*>(w);
            label && !label->pixmap().isNull() && label->pixmap().devicePixelRatio() != ratio)
            faults << nameOf(w) + QStringLiteral(" shows a picture for another pixel ratio");
        if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->icon().isNull()) {
            const QPixmap icon = button->icon().pixmap(button->iconSize(), ratio);
            if (icon.width() < button->iconSize().width() * ratio)
                faults << nameOf(w) + QStringLiteral(" has an icon drawn for fewer pixels");
        }
    }
    return faults;
}

QPixmap screenshotPicture()
{
    QPixmap picture(480, 300);
    picture.fill(QColor(210, 225, 240));
    QPainter p(&picture);
    p.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("저장 버튼을 누르면 멈춤"));
    return picture;
}

} // namespace

// Every window of the program on a real display, opened and filled as a user sees it, at
// the scale the run sets (QT_SCALE_FACTOR): at its first size and at its smallest, its
// widgets are walked for clipped, misplaced, overlapping, unnamed or wrongly ordered ones.
// With AS_SCREENSHOT_DIR set, each look is saved there with the window manager's frame.
class WindowLookTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windows_data();
    void windows();

private:
    std::unique_ptr<QWidget> open(const QString& name, QWidget*& firstField);
    void save(QWidget* window, const QString& name);

    TestEnv m_env;
    std::unique_ptr<MsgRecorder> m_msgs;
    std::unique_ptr<FrmMain> m_main;
};

void WindowLookTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    TestDb db;
    QVERIFY(db.exec(QStringLiteral("INSERT INTO `%1`.user_mac (user_id, mac_addr, block)"
                                   " VALUES ('kim', '02fc00000001', 0)")
                        .arg(kDb)));
    NetAdapter adapter;
    adapter.index = 2;
    adapter.name = QStringLiteral("eth0");
    adapter.address = QStringLiteral("02:fc:00:00:00:01");
    adapter.up = adapter.hasIp = true;
    SetNetAdaptersForTesting(QList<NetAdapter>{adapter});
    m_msgs = std::make_unique<MsgRecorder>();
    m_main = std::make_unique<FrmMain>();
    m_main->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
}

void WindowLookTest::cleanupTestCase()
{
    m_main.reset();
    SetNetAdaptersForTesting(std::nullopt);
}

void WindowLookTest::windows_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"frmLogin", "FrmMain", "FrmCompany", "FrmCompany-edit", "Form2", "FrmSprRPTCol",
                             "FrmExtend", "FrmZoom_Image", "FrmAS", "FrmAS-edit", "FloatMsg"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

std::unique_ptr<QWidget> WindowLookTest::open(const QString& name, QWidget*& firstField)
{
    FrmMain* main = m_main.get();
    firstField = nullptr;
    if (name == QLatin1String("frmLogin")) {
        auto w = std::make_unique<frmLogin>(kDb);
        firstField = w->txtPassword;
        return w;
    }
    if (name.startsWith(QLatin1String("FrmCompany"))) {
        gCurSeq = main->GetRowSeq(-2);
        auto w = std::make_unique<FrmCompany>(main);
        if (name.endsWith(QLatin1String("edit")))
            w->DispRec(1);
        firstField = w->htCom[3];
        return w;
    }
    if (name == QLatin1String("Form2")) {
        auto w = std::make_unique<Form2>(main);
        firstField = w->txtPathExcel;
        return w;
    }
    if (name == QLatin1String("FrmSprRPTCol")) {
        auto w = std::make_unique<FrmSprRPTCol>(main);
        w->SetParam(main, main->spList);
        firstField = w->findChild<QWidget*>(QStringLiteral("List1"));
        return w;
    }
    if (name == QLatin1String("FrmExtend")) {
        auto w = std::make_unique<FrmExtend>(main);
        w->loadText(main->txtErr->toPlainText(), true);
        firstField = w->findChild<QWidget*>(QStringLiteral("txtExtend"));
        return w;
    }
    if (name == QLatin1String("FrmZoom_Image")) {
        auto w = std::make_unique<FrmZoom_Image>(main);
        w->setPicture(screenshotPicture());
        return w;
    }
    if (name.startsWith(QLatin1String("FrmAS"))) {
        auto w = std::make_unique<FrmAS>(main);
        if (name.endsWith(QLatin1String("edit")))
            w->DispRec(main->spList->ActiveRow());
        firstField = w->cmbProgram;
        return w;
    }
    if (name == QLatin1String("FloatMsg"))
        return std::make_unique<FloatMsgWindow>(QStringLiteral("자료가 저장되었습니다."));
    firstField = main->spList;
    return nullptr;
}

void WindowLookTest::save(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("AS_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    const QString file = QStringLiteral("%1/%2-x%3.png").arg(dir, name).arg(window->devicePixelRatioF());
    QVERIFY(window->screen()
                ->grabWindow(0, window->frameGeometry().x(), window->frameGeometry().y(),
                             window->frameGeometry().width(), window->frameGeometry().height())
                .save(file));
}

void WindowLookTest::windows()
{
    QFETCH(QString, name);
    QWidget* firstField = nullptr;
    std::unique_ptr<QWidget> own = open(name, firstField);
    QWidget* window = own ? own.get() : m_main.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    if (firstField) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTRY_VERIFY2(QApplication::focusWidget() && (QApplication::focusWidget() == firstField ||
                                                     firstField->isAncestorOf(QApplication::focusWidget())),
                     qPrintable(QStringLiteral("the focus is on ") + nameOf(QApplication::focusWidget())));
    }
    save(window, name);
    QStringList faults = lookFaults(window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));

    if (window->minimumSize() != window->maximumSize() && name != QLatin1String("FloatMsg")) {
        const QSize first = window->size();
        window->resize(1, 1);
        QTRY_VERIFY(window->size() != first);
        save(window, name + QStringLiteral("-smallest"));
        faults = lookFaults(window);
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("smallest: ") + faults.join(QLatin1Char('\n'))));
        window->resize(first);
    }
    QVERIFY2(m_msgs->count() == 0, qPrintable(m_msgs->texts().join(QLatin1Char('\n'))));
}

QTEST_MAIN(WindowLookTest)
#include "tst_windowlook.moc"
