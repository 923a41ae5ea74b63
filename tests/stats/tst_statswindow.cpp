#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "StatsData.h"
#include "TestDb.h"
#include "TestEnv.h"
#include "db/DbStartup.h"
#include "db/MySql.h"
#include "records/FrmMain.h"
#include "records/FrmStats.h"
#include "records/StatsPanel.h"
#include "sheets/CsvFile.h"

#include <QChartView>
#include <QClipboard>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

const QString kDb = QStringLiteral("t_statswin");
const StatsFilter kAll{{QDate(2025, 6, 1), QDate(2026, 7, 31)}, 0, 0, {}};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The cells of a panel's table, a row a line.
QStringList tableTexts(const StatsPanel* panel)
{
    QStringList rows;
    const QTableWidget* t = panel->tblFigures;
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < t->columnCount(); ++c)
            cells << t->item(r, c)->text();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

// The statistics window: opened from the main window, its figures on screen as charts and
// tables, its files, and a server lost while it is open.
class StatsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_env.createDatabase(kDb));
        TestDb db;
        QVERIFY2(LoadStatsData(db, kDb), qPrintable(db.error()));
        QVERIFY(m_env.connect(kDb));
    }

    void opensFromTheMainWindow()
    {
        QVERIFY(OpenListDatabase(m_env, QStringLiteral("t_statsmain")).isEmpty());
        FrmMain main;
        main.Form_Load();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(main.btnFind, Qt::Key_F7); // the window takes F7 from any control
        FrmStats* stats = nullptr;
        QTRY_VERIFY((stats = main.findChild<FrmStats*>()) != nullptr);
        QVERIFY(stats->windowTitle().contains(QStringLiteral("통계")));
        QTRY_COMPARE(stats->figures().stage, 3);
        qint64 total = 0;
        for (const CountRow& row : stats->figures().byStatus.rows)
            total += row.total();
        QCOMPARE(
            QString::number(total),
            TestDb().value(QStringLiteral("SELECT COUNT(*) FROM t_statsmain.aslist WHERE qusdate >= '%1'")
                               .arg(stats->filter().period.from.toString(Qt::ISODate))));
        main.btnStats->click();
        QCOMPARE(main.findChildren<FrmStats*>().size(), 1);
        QCOMPARE(m_msgs.count(), 0);
        delete stats;
    }

    void init() { QVERIFY(m_env.connect(kDb)); }

    void showsAndExports()
    {
        FrmStats w(kAll, false, QStringLiteral("모든 프로그램"));
        w.show();
        QTRY_COMPARE(w.figures().stage, 3);
        const QList<FigureTable> tables = StatsTables(w.figures());
        for (int i = 0; i < int(w.panels.size()); ++i) {
            QStringList rows;
            for (const QStringList& cells : tables[i].rows)
                rows << cells.join(QLatin1Char('|'));
            QCOMPARE(tableTexts(w.panels[size_t(i)]), rows);
            QVERIFY(!w.panels[size_t(i)]->chartView->chart()->series().isEmpty());
        }

        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("stats.png"));
        m_msgs.answerSave(png, 0);
        w.btnPng_Click();
        const QImage image(png);
        QCOMPARE(image.size(), w.figuresArea->size() * w.devicePixelRatioF());

        const QString pdf = dir.filePath(QStringLiteral("stats.pdf"));
        m_msgs.answerSave(pdf, 0);
        w.btnPdf_Click();
        const QByteArray pdfBytes = fileBytes(pdf);
        QVERIFY(pdfBytes.startsWith("%PDF-"));
        QVERIFY(pdfBytes.trimmed().endsWith("%%EOF"));
        QCOMPARE(pdfBytes.count("/Type /Page\n") + pdfBytes.count("/Type /Page\r"), 1);

        const QString csv = dir.filePath(QStringLiteral("stats.csv"));
        m_msgs.answerSave(csv, 0);
        w.btnCsv_Click();
        ExcelBook book;
        ReadCsvBook(fileBytes(csv), QStringLiteral("csv"), book);
        QCOMPARE(book.sheets.size(), size_t(1));
        const QList<QStringList> expected = QList<QStringList>{StatsCsvHeader()} + StatsCsvRows(tables);
        QCOMPARE(book.sheets[0].rows, int(expected.size()));
        for (const ExcelCell& cell : book.sheets[0].cells)
            QCOMPARE(cell.text, expected[cell.row][cell.col]);
        QCOMPARE(m_msgs.count(), 3); // the three save dialogs

        QApplication::clipboard()->clear();
        w.panels[0]->btnCopy->click();
        QTRY_VERIFY(!QApplication::clipboard()->image().isNull());
        m_msgs.clear();
    }

    void serverLost()
    {
        FrmStats w(kAll, false, QString());
        QTRY_COMPARE(w.figures().stage, 3);
        const QStringList before = tableTexts(w.panels[0]);
        // Every connection to the database but the program's own: the window's.
        TestDb db;
        const QStringList ids = db.rows(QStringLiteral("SELECT id FROM information_schema.processlist WHERE "
                                                       "db = '%1' AND id <> %2")
                                            .arg(kDb)
                                            .arg(gDB[0]->thread_id()));
        for (const QString& id : ids)
            QVERIFY(db.exec(QStringLiteral("KILL ") + id));
        w.Refresh();
        QTRY_COMPARE(m_msgs.count(), 1);
        QCOMPARE(m_msgs.last().icon, MsgIcon::Exclamation);
        QCOMPARE(tableTexts(w.panels[0]), before);
        QSignalSpy shown(&w, &FrmStats::figuresShown);
        w.Refresh();
        QTRY_COMPARE(shown.count(), 3);
        QCOMPARE(m_msgs.count(), 1);
        QCOMPARE(tableTexts(w.panels[0]), before);
    }

private:
    TestEnv m_env;
    MsgRecorder m_msgs;
};

QTEST_MAIN(StatsWindowTest)
#include "tst_statswindow.moc"
