#include "ListData.h"
#include "MsgRecorder.h"
#include "TestDb.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Globals.h"
#include "common/ProfileIni.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "db/RecordSet.h"
#include "grid/FormIni.h"
#include "grid/SpreadGrid.h"
#include "records/FrmMain.h"
#include "records/ListExport.h"
#include "records/ListGrid.h"
#include "sheets/CsvFile.h"
#include "sheets/XlsxReader.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const QString kDb = QStringLiteral("t_export");
// Debian's own Python, where the Debian package python3-openpyxl installs.
const QString kPython = QStringLiteral("/usr/bin/python3");
constexpr int kRecords = 305; // the six of the list data but the one without a company, and 300 more

// The records of the list data and 300 more, one an hour from 2026-12-01 00:00, each with a company.
bool addRecords()
{
    TestDb db;
    return db.exec(QStringLiteral("USE `%1`").arg(kDb)) &&
           db.exec(QStringLiteral(
               "INSERT INTO aslist (seq, appcode, formname, title, errtext, solution, user_q, user_a, "
               "qusdate,"
               " ftpdate, status) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
               "300)"
               " SELECT 100 + i, 1 + i % 5, CONCAT('Frm', i), CONCAT('제목 \"', i, '\", 쉼표'), '내용', '', "
               "'kim',"
               " 'lee', DATE_FORMAT('2026-12-01' + INTERVAL i HOUR, '%Y-%m-%d %H:%i'),"
               // the newest completed as the editor writes a completion date
               " IF(i = 300, '2026-12-14 -09:30', ''), '요청대기' FROM n;"
               "INSERT INTO ascomp (user, comname, writedate, ascode)"
               " SELECT 'kim', '대한상사', '2026-12-01', seq FROM aslist WHERE seq >= 100;"));
}

using Cells = std::map<std::pair<int, int>, const ExcelCell*>;

const ExcelCell& cellAt(Cells& cells, int row, int col)
{
    static const ExcelCell none;
    const auto it = cells.find({row, col});
    return it == cells.end() ? none : *it->second;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The list export against a real server: every matching record in each format, read back.
class ListExportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void statement();
    void formats_data();
    void formats();
    void fromTheMenu_data();
    void fromTheMenu();

private:
    TestEnv m_env;
    SpreadGrid m_grid;
};

void ListExportTest::initTestCase()
{
#ifdef Q_OS_UNIX
    umask(022); // new files readable by all, so that a writer's private mode shows
#endif
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    const QString error = OpenListDatabase(m_env, kDb);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(addRecords());
    QVERIFY(InstallFloatMsgStandIn(m_env.appDir()));
    m_grid.setObjectName(QStringLiteral("spList"));
    SetupListGrid(&m_grid);
}

void ListExportTest::cleanupTestCase()
{
    CloseDB();
}

void ListExportTest::statement()
{
    ListFilters f;
    f.findMemo[0] = QStringLiteral("Frm");
    QString list = ListStatement(f);
    QVERIFY(list.endsWith(QStringLiteral(" LIMIT 50")));
    QCOMPARE(ListExportStatement(f), list.chopped(9));
}

void ListExportTest::formats_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("xlsx") << int(TableFormat::Xlsx);
    QTest::newRow("csv") << int(TableFormat::Csv);
    QTest::newRow("pdf") << int(TableFormat::Pdf);
}

// Every matching record, newest first, in the list's shown columns; the file read back.
void ListExportTest::formats()
{
    QFETCH(int, format);
    const auto fmt = TableFormat(format);
    const QString path = ExportPath(m_env.path(QStringLiteral("목록")), fmt);
    RecordSetPtr rs;
    QCOMPARE(OpenRecordset(rs, ListExportStatement(ListFilters())), long(kRecords));
    const std::vector<int> cols = ReportColumns(QStringLiteral("NoSuchForm"), &m_grid);
    QCOMPARE(cols.size(), size_t(10));
    const ExportOutcome out =
        WriteListExport(*rs, &m_grid, cols, fmt, path, QStringLiteral("A/S List"), nullptr);
    CloseRecordset(rs);
    QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
    QCOMPARE(out.written, qint64(kRecords));
    const QByteArray bytes = fileBytes(path);
    // The mode of any new file of the user.
    QFile other(path + QStringLiteral(".new"));
    other.remove();
    QVERIFY(other.open(QIODevice::WriteOnly));
    QCOMPARE(QFileInfo(path).permissions(), other.permissions());

    if (fmt == TableFormat::Pdf) {
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page ") >=
                5);
        return;
    }
    ExcelBook book;
    QString error;
    if (fmt == TableFormat::Xlsx) {
        QVERIFY2(ReadXlsxBook(bytes, book, error), qPrintable(error));
    } else {
        QVERIFY(bytes.startsWith(kUtf8Bom));
        ReadCsvBook(bytes, QStringLiteral("목록"), book);
        QCOMPARE(book.codePage, 65001);
    }
    const ExcelSheet& sheet = book.sheets.at(0);
    QCOMPARE(sheet.rows, kRecords + 1);
    QCOMPARE(sheet.cols, 10);
    Cells at;
    for (const ExcelCell& c : sheet.cells)
        at[{c.row, c.col}] = &c;
    QCOMPARE(cellAt(at, 0, 0).text, QStringLiteral("관리번호"));
    QCOMPARE(cellAt(at, 0, 4).text, QStringLiteral("제목"));
    QCOMPARE(cellAt(at, 1, 0).text, QStringLiteral("400"));
    QCOMPARE(cellAt(at, 1, 4).text, QStringLiteral("제목 \"300\", 쉼표"));
    QCOMPARE(cellAt(at, 1, 1).text,
             QStringLiteral("2026-12-13 12:00") + QString(fmt == TableFormat::Xlsx ? ":00" : ""));
    QCOMPARE(cellAt(at, kRecords, 0).text, QStringLiteral("1"));
    QCOMPARE(cellAt(at, 1, 8).text, fmt == TableFormat::Xlsx ? QStringLiteral("2026-12-14 09:30:00")
                                                             : QStringLiteral("2026-12-14 -09:30"));
    if (fmt == TableFormat::Xlsx) {
        QCOMPARE(int(cellAt(at, 1, 0).kind), int(ExcelCellKind::Number));
        QCOMPARE(int(cellAt(at, 1, 1).kind), int(ExcelCellKind::Date));
        QCOMPARE(int(cellAt(at, 1, 8).kind), int(ExcelCellKind::Date));
        QCOMPARE(int(cellAt(at, 1, 2).kind), int(ExcelCellKind::Text));
    }

    // An independent reader, where installed: bold frozen header, autofilter, date cells.
    if (fmt != TableFormat::Xlsx || QProcess::execute(kPython, {"-c", "import openpyxl"}) != 0)
        return;
    QProcess py;
    py.start(kPython, {"-c",
                       "import sys, openpyxl; ws = openpyxl.load_workbook(sys.argv[1]).active;"
                       " print(ws.max_row, ws.freeze_panes, ws.auto_filter.ref, ws['A1'].font.b,"
                       " ws['B2'].is_date, ws['I2'].is_date, ws['B2'].value, ws['A2'].value, ws['E2'].value,"
                       " int(ws.column_dimensions['E'].width))",
                       path});
    QVERIFY(py.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
             QStringLiteral("306 A2 A1:J306 True True True 2026-12-13 12:00:00 400 제목 \"300\", 쉼표 26"));
}

void ListExportTest::fromTheMenu_data()
{
    QTest::addColumn<int>("cancelAt"); // -1: not cancelled
    QTest::addColumn<QStringList>("headers");
    QTest::newRow("ticked report columns") << -1 << QStringList{"관리번호", "제목", "업체수"};
    QTest::newRow("cancelled") << 100 << QStringList();
}

// The grid menu's command on the real main window: the file dialog, the report columns,
// the progress window and the floating message; a cancelled export leaves no file.
void ListExportTest::fromTheMenu()
{
    QFETCH(int, cancelAt);
    QFETCH(QStringList, headers);
    const QString folder = m_env.path(QStringLiteral("out"));
    QDir(folder).removeRecursively();
    QVERIFY(QDir().mkpath(folder));
    ClearFloatMsgLog(m_env.appDir());
    QDir().mkpath(m_env.path(QStringLiteral("FormIni")));
    for (int col = 1; col <= 10; ++col)
        profile::WriteString(FormIniPath(QStringLiteral("FrmMain")), QStringLiteral("spList_RPTCOL"),
                             QString::number(col), col == 1 || col == 5 || col == 10 ? "1" : "0");
    FrmMain main;
    main.Form_Load();
    MsgRecorder rec;
    rec.answerSave(folder + QStringLiteral("/보고서"), 1);
    rec.cancelAt(cancelAt);
    ExportList(&main, main.spList, {});
    QCOMPARE(rec.prompts().at(0).kind, MsgPrompt::Kind::SaveFile);
    QVERIFY(rec.progressSteps() >= 1);
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    const auto log = [this] { return FloatMsgLog(m_env.appDir()).join(QLatin1Char('\n')); };
    if (cancelAt >= 0) {
        QCOMPARE(files, QStringList());
        QTest::qWait(200);
        QVERIFY(!log().contains(QStringLiteral("내보냈습니다")));
        return;
    }
    QCOMPARE(files, QStringList{QStringLiteral("보고서.csv")});
    QTRY_VERIFY(log().contains(QStringLiteral("305건을 내보냈습니다.")));
    const QByteArray csv = fileBytes(folder + QStringLiteral("/보고서.csv"));
    QCOMPARE(QString::fromUtf8(csv.mid(3, csv.indexOf('\r') - 3)), headers.join(u','));
    QCOMPARE(csv.count("\r\n"), kRecords + 1);
}

QTEST_MAIN(ListExportTest)
#include "tst_listexport.moc"
