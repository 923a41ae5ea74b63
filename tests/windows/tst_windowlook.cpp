#include "../../tools/FloatMsg/FloatMsgWindow.h"
#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/Globals.h"
#include "editor/FrmAS.h"
#include "grid/FrmSprRPTCol.h"
#include "grid/SpreadGrid.h"
#include "platform/MacAddress.h"
#include "records/Form2.h"
#include "records/FrmCompany.h"
#include "records/FrmMain.h"
#include "records/FrmStats.h"
#include "shell/frmLogin.h"
#include "windows/FrmExtend.h"
#include "windows/FrmZoom_Image.h"

#include <QAccessible>
#include <QtTest>
#include <QtWidgets>
#include <functional>

using Opener = std::function<QWidget*(FrmMain*)>;
Q_DECLARE_METATYPE(Opener)

namespace {

QString nameOf(const QWidget* w)
{
    const QString own =
        w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    return w->isWindow() ? own : nameOf(w->parentWidget()) + QLatin1Char('/') + own;
}

// Inside an area that scrolls: its place in the window is the scrolling's business.
bool scrolled(const QWidget* w, const QWidget* window)
{
    for (w = w->parentWidget(); w != window; w = w->parentWidget())
        if (w->objectName() == QLatin1String("qt_scrollarea_viewport"))
            return true;
    return false;
}

bool unnamed(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w->focusProxy() ? w->focusProxy() : w);
    return a && a->text(QAccessible::Name).trimmed().isEmpty();
}

// Fields and buttons as a screen reader lists them; their entries and cells are named by their texts.
void unnamedFields(QAccessibleInterface* a, QStringList& faults)
{
    using R = QAccessible::Role;
    for (int i = 0; i < a->childCount(); ++i) {
        QAccessibleInterface* c = a->child(i);
        if (!c || c->state().invisible)
            continue;
        const R role = c->role();
        const bool field = QList<R>{R::EditableText, R::ComboBox, R::SpinBox,     R::List,      R::Table,
                                    R::PushButton,   R::CheckBox, R::RadioButton, R::ButtonMenu}
                               .contains(role);
        if (field && c->text(QAccessible::Name).trimmed().isEmpty())
            faults << nameOf(qobject_cast<QWidget*>(c->object())) + QStringLiteral(" has no name");
        if (!field || role == R::EditableText)
            unnamedFields(c, faults);
    }
}

QStringList lookFaults(QWidget* window)
{
    QStringList faults;
    QList<QWidget*> shown;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (!w->isWindow() && w->isVisibleTo(window) && !w->size().isEmpty())
            shown << w;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QWidget* w = shown[i];
        const QRect at(w->mapTo(window, QPoint()), w->size());
        const bool oneLine = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QPushButton*>(w);
        if (oneLine && !w->objectName().startsWith(QLatin1String("qt_")) &&
            w->height() < qMax(w->fontMetrics().height(), w->minimumSizeHint().height()))
            faults << QStringLiteral("%1 is %2 high, lower than its text").arg(nameOf(w)).arg(w->height());
        if (!window->rect().contains(at) && !scrolled(w, window))
            faults << nameOf(w) + QStringLiteral(" lies outside the window");
        for (QWidget* s : shown.mid(i + 1))
            if (s->parentWidget() == w->parentWidget() && s->geometry().intersects(w->geometry()))
                faults << nameOf(w) + QStringLiteral(" overlaps ") + nameOf(s);
        auto* label = qobject_cast<QLabel*>(w);
        if (!label || label->text().isEmpty() || label->buddy())
            continue;
        for (QWidget* f : shown) {
            const QRect fat(f->mapTo(window, QPoint()), f->size());
            if ((f->focusPolicy() & Qt::TabFocus) && f->parentWidget()->focusProxy() != f && unnamed(f) &&
                fat.left() >= at.right() && fat.left() - at.right() < 30 && fat.top() <= at.center().y() &&
                at.center().y() <= fat.bottom())
                faults << QStringLiteral("'%1' is no buddy of the unnamed %2").arg(label->text(), nameOf(f));
        }
    }
    unnamedFields(QAccessible::queryAccessibleInterface(window), faults);
    return faults;
}

} // namespace

// Every window of the program on a real display, filled as a user sees it, at the scale the run
// sets (QT_SCALE_FACTOR): at its first size and at its smallest its widgets are walked.
// With AS_SCREENSHOT_DIR set, each look is saved there with the window manager's frame.
class WindowLookTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        gAppTitle = QString::fromUtf8(kAppTitle);
        gUserId = QStringLiteral("kim");
        QVERIFY(OpenListDatabase(m_env, QStringLiteral("t_windowlook")).isEmpty());
        QVERIFY(TestDb().exec(QStringLiteral("INSERT INTO t_windowlook.user_mac (user_id, mac_addr, block)"
                                             " VALUES ('kim', '02fc00000001', 0)")));
        NetAdapter pc{2, QStringLiteral("eth0"), QStringLiteral("02:fc:00:00:00:01"), true, false, true};
        SetNetAdaptersForTesting(QList<NetAdapter>{pc});
        m_main.Form_Load();
        gCurSeq = m_main.GetRowSeq(-2);
    }

    void windows_data()
    {
        QTest::addColumn<Opener>("open");
        const auto row = [](const char* name, Opener open) { QTest::newRow(name) << open; };
        row("frmLogin", [](FrmMain*) { return new frmLogin(QStringLiteral("t_windowlook")); });
        row("FrmMain", [](FrmMain* m) { return m; });
        row("FrmCompany", [](FrmMain* m) { return new FrmCompany(m); });
        row("Form2", [](FrmMain* m) { return new Form2(m); });
        row("FrmSprRPTCol", [](FrmMain* m) {
            auto* w = new FrmSprRPTCol(m);
            w->SetParam(m, m->spList);
            return w;
        });
        row("FrmExtend", [](FrmMain* m) { return new FrmExtend(m); });
        row("FrmZoom_Image", [](FrmMain* m) {
            auto* w = new FrmZoom_Image(m);
            w->setPicture(m->grab());
            return w;
        });
        row("FrmAS", [](FrmMain* m) { return new FrmAS(m); });
        row("FrmStats", [](FrmMain* m) {
            auto* w =
                new FrmStats(StatsFilterOf(m->CurrentFilters()), true, QStringLiteral("모든 프로그램"), m);
            QSignalSpy shown(w, &FrmStats::figuresShown);
            while (w->figures().stage < 3 && shown.wait(5000)) {
            }
            return w;
        });
        row("FloatMsg",
            [](FrmMain*) { return new FloatMsgWindow(QStringLiteral("자료가 저장되었습니다.")); });
    }

    void windows()
    {
        QFETCH(Opener, open);
        QWidget* window = open(&m_main);
        std::unique_ptr<QWidget> own(window == &m_main ? nullptr : window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QSize first = window->size();
        for (const char* look : {"", "-smallest"}) {
            if (*look) {
                window->resize(1, 1);
                QTRY_COMPARE(window->size(), window->minimumSize().expandedTo(QSize(1, 1)));
            }
            const QString dir = qEnvironmentVariable("AS_SCREENSHOT_DIR");
            const QRect frame = window->frameGeometry();
            if (!dir.isEmpty())
                window->screen()
                    ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                    .save(QStringLiteral("%1/%2%3-x%4.png")
                              .arg(dir, QTest::currentDataTag(), look)
                              .arg(window->devicePixelRatioF()));
            const QStringList faults = lookFaults(window);
            QVERIFY2(faults.isEmpty(), qPrintable(look + faults.join(QLatin1Char('\n'))));
        }
        window->resize(first);
        QVERIFY2(m_msgs.count() == 0, qPrintable(m_msgs.texts().join(QLatin1Char('\n'))));
    }

private:
    TestEnv m_env;
    MsgRecorder m_msgs;
    FrmMain m_main;
};

QTEST_MAIN(WindowLookTest)
#include "tst_windowlook.moc"
