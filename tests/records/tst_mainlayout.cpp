#include "ListData.h"
#include "TestEnv.h"
#include "common/Globals.h"
#include "controls/HCCombo.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "records/ShotBox.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

const QString kDb = QStringLiteral("t_mainlayout");

// The controls a person sees: every visible label, field, button, grid and picture,
// not the parts inside them.
QList<QWidget*> controls(QWidget* window)
{
    QList<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        const bool control = qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<HCCombo*>(w) || qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QDateEdit*>(w) || qobject_cast<SpreadGrid*>(w) ||
                             qobject_cast<QPlainTextEdit*>(w);
        if (control)
            out << w;
    }
    // Parts of another control (a combo's list, a picture's zoom button) go with it.
    QList<QWidget*> top;
    for (QWidget* w : out) {
        bool inside = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            inside = inside || out.contains(p);
        if (!inside)
            top << w;
    }
    return top;
}

QString nameOf(const QWidget* w)
{
    if (!w->objectName().isEmpty())
        return w->objectName();
    if (auto* label = qobject_cast<const QLabel*>(w))
        return QStringLiteral("label '%1'").arg(label->text());
    return QString::fromLatin1(w->metaObject()->className());
}

// The part of a control that shows, in window coordinates.
QRect shown(QWidget* w, QWidget* window)
{
    const QRect visible = w->visibleRegion().boundingRect();
    return QRect(w->mapTo(window, visible.topLeft()), visible.size());
}

int textWidth(const QWidget* w, const QString& text)
{
    return w->fontMetrics().horizontalAdvance(text);
}

} // namespace

// The main window on a real display, at its first size and at its smallest: nothing
// clipped or overlapping at first, the list and the detail pane usable at the smallest.
// With AS_SCREENSHOT_DIR set, both looks are saved there as PNG files.
class MainLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void firstSizeShowsEverythingWhole();
    void gridColumnsFitTheirTexts();
    void smallestSizeKeepsListAndPaneUsable();

private:
    void save(const QString& name);
    void noOverlaps();

    TestEnv m_env;
    std::unique_ptr<FrmMain> m_w;
};

void MainLayoutTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    gUseGridColors = true;
    QVERIFY(m_env.createDatabase(kDb));
    TestDb db;
    QVERIFY(LoadListData(db, kDb));
    // The longest texts the columns are made for.
    QVERIFY(db.exec(QStringLiteral("UPDATE aslist SET status = '장기예정(2주이상지체)', user_a = 'lee',"
                                   " ftpdate = '2026-11-20 -18:30' WHERE seq = 3")));
    QVERIFY(m_env.connect(kDb));
    m_w = std::make_unique<FrmMain>();
    m_w->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
}

void MainLayoutTest::cleanupTestCase()
{
    m_w.reset();
}

void MainLayoutTest::save(const QString& name)
{
    const QString dir = qEnvironmentVariable("AS_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(m_w->grab().save(dir + QLatin1Char('/') + name));
}

void MainLayoutTest::noOverlaps()
{
    const QList<QWidget*> all = controls(m_w.get());
    QVERIFY(all.size() > 40);
    for (int i = 0; i < all.size(); ++i)
        for (int k = i + 1; k < all.size(); ++k) {
            const QRect a = shown(all[i], m_w.get()), b = shown(all[k], m_w.get());
            QVERIFY2(!a.intersects(b),
                     qPrintable(nameOf(all[i]) + QStringLiteral(" overlaps ") + nameOf(all[k])));
        }
}

void MainLayoutTest::firstSizeShowsEverythingWhole()
{
    QCOMPARE(m_w->size(), QSize(1020, 692));
    save(QStringLiteral("FrmMain-first.png"));
    noOverlaps();
    for (QWidget* w : controls(m_w.get())) {
        QVERIFY2(w->visibleRegion().boundingRect() == w->rect(),
                 qPrintable(nameOf(w) + QStringLiteral(" is cut")));
        QVERIFY2(m_w->rect().contains(QRect(w->mapTo(m_w.get(), QPoint()), w->size())),
                 qPrintable(nameOf(w)));
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            QVERIFY2(textWidth(button, button->text().remove(QLatin1Char('&'))) + 12 <= button->width(),
                     qPrintable(nameOf(w)));
        } else if ((qobject_cast<QLabel*>(w) && !qobject_cast<ShotBox*>(w)) || qobject_cast<QCheckBox*>(w)) {
            QVERIFY2(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height(),
                     qPrintable(nameOf(w)));
        }
    }
    // The buttons keep to the right edge of the filter frame.
    const int right = m_w->fraTop->mapTo(m_w.get(), m_w->fraTop->rect().topRight()).x();
    for (QPushButton* b : {m_w->btnDel, m_w->btnClose})
        QVERIFY(right - b->mapTo(m_w.get(), b->rect().topRight()).x() < 20);
    QCOMPARE(m_w->btnFind->y(), m_w->btnClose->y());
    QVERIFY(m_w->btnFind->x() < m_w->btnClose->x());
}

void MainLayoutTest::gridColumnsFitTheirTexts()
{
    SpreadGrid* grid = m_w->spList;
    int total = 0;
    for (int col = 1; col <= 10; ++col) {
        QString header;
        grid->GetText(col, 0, header);
        const int width = grid->columnWidth(col - 1);
        total += width;
        QVERIFY2(textWidth(grid->horizontalHeader(), header) + 10 <= width, qPrintable(header));
        for (int row = 1; row <= grid->MaxRows(); ++row) {
            if (col == 5 || col == 4)
                continue; // titles and screen names may be longer than any column; the tip shows them
            const QString text = grid->DisplayText(col, row);
            QVERIFY2(textWidth(grid, text) + 8 <= width, qPrintable(QStringLiteral("%1: %2 needs %3 of %4")
                                                                        .arg(header, text)
                                                                        .arg(textWidth(grid, text) + 8)
                                                                        .arg(width)));
        }
    }
    // Ten years of requests: a record number of seven digits is shown whole.
    grid->SetText(ListColSeq, 1, QStringLiteral("1000000"));
    QVERIFY(textWidth(grid, grid->DisplayText(ListColSeq, 1)) + 8 <= grid->columnWidth(ListColSeq - 1));
    // A full list shows its vertical scroll bar; the columns still need no sideways scrolling.
    const int room =
        grid->viewport()->width() - grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    QVERIFY2(total <= room,
             qPrintable(QStringLiteral("the list scrolls sideways: %1 > %2").arg(total).arg(room)));
    QVERIFY(total >= room - 40);
    for (SpreadGrid* g : {m_w->spList, m_w->spCom})
        QVERIFY(textWidth(g, QStringLiteral("No")) + 6 <= g->verticalHeader()->width());
    for (int col = 1; col <= 2; ++col) {
        QString header;
        m_w->spCom->GetText(col, 0, header);
        QVERIFY(textWidth(m_w->spCom->horizontalHeader(), header) + 10 <= m_w->spCom->columnWidth(col - 1));
    }
}

void MainLayoutTest::smallestSizeKeepsListAndPaneUsable()
{
    m_w->resize(300, 200);
    QTRY_COMPARE(m_w->size(), QSize(467, 467)); // 7000 twips either way
    QTest::qWait(50);
    save(QStringLiteral("FrmMain-smallest.png"));
    noOverlaps();

    const int rowHeight = m_w->spList->rowHeight(0);
    QVERIFY(m_w->spList->viewport()->height() >= 3 * rowHeight);
    QVERIFY(m_w->spList->viewport()->width() >= 380);
    QVERIFY(m_w->spCom->viewport()->height() >= 2 * rowHeight);
    for (QPlainTextEdit* text : {m_w->txtErr, m_w->txtSolution})
        QVERIFY(text->viewport()->height() >= 2 * text->fontMetrics().height());
    for (int i = 0; i < 2; ++i) {
        QVERIFY(m_w->imgShot[i]->width() >= 60 && m_w->imgShot[i]->height() >= 40);
        QCOMPARE(m_w->btnVecter[2 * i]->visibleRegion().boundingRect(), m_w->btnVecter[2 * i]->rect());
        QCOMPARE(m_w->btnVecter[2 * i + 1]->visibleRegion().boundingRect(),
                 m_w->btnVecter[2 * i + 1]->rect());
        QCOMPARE(m_w->lblConut[i]->visibleRegion().boundingRect(), m_w->lblConut[i]->rect());
    }
    // The filters scroll sideways, all three rows in sight; every command button stays whole.
    for (QWidget* first : {(QWidget*)m_w->cmbProgram, (QWidget*)m_w->cmbUser[0], (QWidget*)m_w->chkTerm})
        QCOMPARE(first->visibleRegion().boundingRect().height(), first->height());
    for (QPushButton* b : {m_w->btnAdd, m_w->btnEdit, m_w->btnDel, m_w->btnFind, m_w->btnClose,
                           m_w->btnCompany, m_w->btnComDel, m_w->btnErrExtend, m_w->btnSolExtend})
        QCOMPARE(b->visibleRegion().boundingRect(), b->rect());
}

QTEST_MAIN(MainLayoutTest)
#include "tst_mainlayout.moc"
