#include "../sheets/BiffWriter.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/Globals.h"
#include "common/SettingsStore.h"
#include "db/Query.h"
#include "grid/SpreadGrid.h"
#include "records/ExcelImportSql.h"
#include "records/Form2.h"
#include "sheets/TableWriter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <unistd.h>

namespace {

const QString kRefused = QStringLiteral("엑셀파일이 아니거나, 지원되지 않는 버전입니다.\r\n"
                                        "만약 엑셀파일이 맞다면, 엑셀에서 [다른이름으로 저장]을 통하여\r\n"
                                        "[Microsoft Excel 3.0 워크시트] 이하 버전으로 만들어 주세요.\r\n"
                                        "4.0 이상은 지원되지 않습니다.");
const QString kUnknown = QStringLiteral("엑셀파일의 정보를 알수 없습니다.");
const QString kHead =
    QStringLiteral("insert into aslist(appcode, formname, title, errtext,user_q, qusdate)  values( ");
const QString kCompanyHead =
    QStringLiteral("INSERT INTO ascomp (`user`, `comname`, `writedate`, `ascode`) VALUES ");

QString fixture(const QString& name)
{
    return FixturePath(QStringLiteral("excel-old/") + name);
}

QStringList headers(const SpreadGrid* grid)
{
    QStringList out;
    for (int c = 1; c <= grid->MaxCols(); ++c)
        out << grid->DisplayText(c, 0);
    return out;
}

QStringList rowTexts(const SpreadGrid* grid, int row)
{
    QStringList out;
    for (int c = 1; c <= grid->MaxCols(); ++c)
        out << grid->DisplayText(c, row);
    return out;
}

// The statements' request time, "YYYY-MM-DD hh:mm:ss".
QString timeIn(const QString& sql)
{
    static const QRegularExpression time(QStringLiteral("'(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)'\\)"));
    return time.match(sql).captured(1);
}

} // namespace

class ExcelImportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void statements_data();
    void statements();
    void programCode_data();
    void programCode();
    void chooseFile_data();
    void chooseFile();
    void fileInUse();
    void pickStartFolder_data();
    void pickStartFolder();
    void savedSheetIndex_data();
    void savedSheetIndex();
    void emptyGrid();
    void importIntoDatabase();

private:
    QString workbook(const QString& name, const QList<QStringList>& rows);

    TestEnv m_env;
    TestDb m_db;
};

void ExcelImportTest::initTestCase()
{
    QVERIFY2(m_db.ok(), qPrintable(m_db.error()));
    QVERIFY(m_env.createDatabase(QStringLiteral("as_import")));
    QVERIFY(m_env.connect(QStringLiteral("as_import")));
    QVERIFY2(m_db.exec(
                 QStringLiteral("USE as_import;"
                                "INSERT INTO part (code, name) VALUES (10, '누리셈'), (5, '세무''사랑'), (7, "
                                "'회계\\\\관리');"
                                "INSERT INTO aslist (seq, appcode, title) VALUES (40, 10, 'older');")),
             qPrintable(m_db.error()));
    gUserId = QStringLiteral("kim");
}

QString ExcelImportTest::workbook(const QString& name, const QList<QStringList>& rows)
{
    const QString path = m_env.path(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(BiffTable(3, rows));
    return path;
}

void ExcelImportTest::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    const QString t = QStringLiteral("2024-05-01 09:30:00");
    QTest::newRow("no rows") << ListInsertSql({}, QStringLiteral("kim"), t) << kHead + QStringLiteral(");");
    QTest::newRow("one row, apostrophe and backslash escaped")
        << ListInsertSql({{10, "frmMain", "It's broken", "C:\\temp\\a.txt 경로"}}, QStringLiteral("kim"), t)
        << kHead + QStringLiteral("10,'frmMain','It''s broken','C:\\\\temp\\\\a.txt 경로','kim','2024-05-01 "
                                  "09:30:00');");
    QTest::newRow("two rows")
        << ListInsertSql({{10, "a", "b", "c"}, {51, "d", "", "끝\\"}}, QStringLiteral("o'neil"), t)
        << kHead +
               QStringLiteral("10,'a','b','c','o''neil','2024-05-01 09:30:00'),(51,'d','','끝\\\\','o''neil',"
                              "'2024-05-01 09:30:00');");
    QTest::newRow("companies") << CompanyInsertSql(7, 2, QStringLiteral("kim"), QStringLiteral("2024-05-01"))
                               << kCompanyHead + QStringLiteral(" ( 'kim','TAVEN','2024-05-01',7) ,( "
                                                                "'kim','TAVEN','2024-05-01',8)");
    QTest::newRow("companies, user escaped")
        << CompanyInsertSql(1, 1, QStringLiteral("o'neil\\"), QString())
        << kCompanyHead + QStringLiteral(" ( 'o''neil\\\\','TAVEN','',1)");
    QTest::newRow("no companies") << CompanyInsertSql(12, 0, QStringLiteral("kim"), QString())
                                  << kCompanyHead;
    QTest::newRow("program lookup") << ProgramCodeSql(QStringLiteral("세무'사랑"))
                                    << QStringLiteral(" select code from part where name = '세무''사랑'");
    QTest::newRow("server date") << ServerDate(t) << QStringLiteral("2024-05-01");
    QTest::newRow("no server time") << ServerDate({}) << QString();
    QTest::newRow("server time of another form")
        << ServerDate(QStringLiteral("now")) << QStringLiteral("now");
}

void ExcelImportTest::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void ExcelImportTest::programCode_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("known") << "누리셈" << 10;
    QTest::newRow("apostrophe") << "세무'사랑" << 5;
    QTest::newRow("backslash") << "회계\\관리" << 7;
    QTest::newRow("unknown") << "없는프로그램" << 51;
    QTest::newRow("empty") << "" << 51;
    QTest::newRow("text that would widen the condition") << "x' OR '1'='1" << 51;
}

void ExcelImportTest::programCode()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(int(GetProgramCode(name)), code);
}

void ExcelImportTest::chooseFile_data()
{
    REQUIRE_SAMPLE_FILES();
    QTest::addColumn<QString>("path"); // "": the dialog is cancelled
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("firstRow");
    QTest::addColumn<int>("rows");
    const QString biff3 = fixture(QStringLiteral("edr_as3xls_BIFF3.xls"));
    const QStringList none;

    QTest::newRow("cancelled") << QString() << none << none << none << none << 0;
    QTest::newRow("no such file") << m_env.path(QStringLiteral("없음.xls")) << none << none << none << none
                                  << 0;
    const QStringList simpleHead{"Column 1", "Column 2", "Third Column", "", "", ""};
    const QStringList simpleFirst{"Cell1", "Cell2", "Cell3", "", "", "23:34:04"};
    QTest::newRow("Excel 4.0 worksheet")
        << fixture(QStringLiteral("edr_as3xls_BIFF4.xls")) << QStringList(4, QStringLiteral("number"))
        << QStringList{"edr_as3xls_BIFF4"}
        << QStringList{"1", "Hi", "10.22", "14.754317602357", "21.041075725337"}
        << QStringList{"2", "How", "2007-02-22", "14.754317602357", "43.041075725337"} << 9;
    QTest::newRow("Excel 4.0 workbook")
        << fixture(QStringLiteral("fxl_simple2003_4WB.xlw")) << none << QStringList{"simple2003_4", "sheet2"}
        << simpleHead << simpleFirst << 3;
    QTest::newRow("Excel 5 workbook")
        << fixture(QStringLiteral("edr_as3xls_BIFF5.xls")) << QStringList(4, QStringLiteral("number"))
        << QStringList{"Sheet1", "Sheet2", "Sheet3"}
        << QStringList{"1", "Hi", "10.22", "14.754317602357", "21.041075725337"}
        << QStringList{"2", "How", "2007-02-22", "14.754317602357", "43.041075725337"} << 9;
    QTest::newRow("Excel 97-2003 workbook")
        << fixture(QStringLiteral("fxl_simple2003.xls")) << none << QStringList{"simple2003_4", "sheet2"}
        << simpleHead << simpleFirst << 3;
    QTest::newRow("Excel 95, Shift-JIS")
        << fixture(QStringLiteral("pe_Test95J.xls")) << none << QStringList{"Sheet1-ASC", "漢字名"}
        << QStringList{"ASC", "This Data is 'ASC Only'"} << QStringList{"Date", "1964-03-23"} << 5;
    // Workbooks of today, written by the export's own writers, and a CP949 CSV file.
    const QStringList head{"프로그램", "화면명", "제목", "요청내용"};
    const QStringList row{"누리셈", "거래처 등록", "저장, 안 됨", "\"확인\" 누르면\r\n멈춤"};
    for (auto [name, format] :
         {std::pair{"목록.xlsx", TableFormat::Xlsx}, std::pair{"목록.csv", TableFormat::Csv}}) {
        std::vector<TableColumn> columns;
        for (const QString& h : head)
            columns.push_back({h, ColumnKind::Text, 10});
        const auto writer = MakeTableWriter(format);
        QString error;
        QVERIFY(writer->open(m_env.path(QString::fromUtf8(name)), columns, {}, 1, error));
        writer->row(row);
        QVERIFY(writer->commit(error));
        QTest::newRow(name) << m_env.path(QString::fromUtf8(name)) << none
                            << QStringList{format == TableFormat::Xlsx ? "A-S" : "목록"} << head << row << 1;
    }
    QFile cp949File(m_env.path(QStringLiteral("목록949.csv")));
    QVERIFY(cp949File.open(QIODevice::WriteOnly));
    cp949File.write(cp949::encode(head.join(u',') + QStringLiteral("\n누리셈,,제목\n")));
    cp949File.close();
    QTest::newRow("CSV in CP949") << cp949File.fileName() << none << QStringList{"목록949"} << head
                                  << QStringList{"누리셈", "", "제목", ""} << 1;
    QFile text(m_env.path(QStringLiteral("list.xls")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("program,screen,title,text\r\n");
    text.close();
    QTest::newRow("text file") << text.fileName() << QStringList{kRefused} << none << none << none << 0;
    QFile cut(m_env.path(QStringLiteral("cut.xls")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    QFile whole(biff3);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    cut.write(whole.read(4000));
    cut.close();
    QTest::newRow("damaged file") << cut.fileName() << QStringList{kUnknown} << none << none << none << 0;

    QTest::newRow("Excel 3.0, a number box for each numeric title")
        << biff3 << QStringList(4, QStringLiteral("number")) << QStringList{"edr_as3xls_BIFF3"}
        << QStringList{"1", "Hi", "10.22", "14.754317602357", "21.041075725337"}
        << QStringList{"2", "How", "2007-02-22", "14.754317602357", "43.041075725337"} << 9;
    QTest::newRow("Excel 2.x, titles as text")
        << fixture(QStringLiteral("fxl_simple2003_21.xls")) << none << QStringList{"fxl_simple2003_21"}
        << QStringList{"Column 1", "Column 2", "Third Column", "", "", ""}
        << QStringList{"Cell1", "Cell2", "Cell3", "", "", "23:34:04"} << 3;
    QTest::newRow("Excel 3.0 error values")
        << fixture(QStringLiteral("edr_Test_git_issue_466_biff3.xls")) << none
        << QStringList{"edr_Test_git_issue_466_biff3"}
        << QStringList{"#DIV/0!", "#N/A", "#VALUE!", "#NAME?", "#REF!"}
        << QStringList{"#DIV/0!", "#N/A", "#VALUE!", "#NAME?", "#REF!"} << 1;
}

void ExcelImportTest::chooseFile()
{
    QFETCH(QString, path);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, sheets);
    QFETCH(QStringList, headers);
    QFETCH(QStringList, firstRow);
    QFETCH(int, rows);
    QFile::remove(m_env.path(QStringLiteral("ILOGFILE.TXT")));
    Form2 form;
    MsgRecorder rec;
    rec.answer(path.isEmpty() ? vbCancel : vbOK, path);
    form.btnGetXLSFile->click();

    QVERIFY(rec.count() >= 1);
    const MsgPrompt& dialog = rec.prompts().first();
    QCOMPARE(int(dialog.kind), int(MsgPrompt::Kind::OpenFile));
    QCOMPARE(dialog.title, QStringLiteral("엑셀파일 선택"));
    QCOMPARE(dialog.filter, QStringLiteral("ExcelFiles (*.xls;*.xlsx;*.xlw;*.csv)|*.xls;*.xlsx;*.xlw;*.csv"));
    QCOMPARE(dialog.folder, DataDir());
    QCOMPARE(dialog.defaultText, QString());
    QCOMPARE(rec.texts().mid(1), messages);
    for (const MsgPrompt& p : rec.prompts().mid(1)) {
        QCOMPARE(p.title, gAppTitle);
        QCOMPARE(int(p.icon), int(p.text == QLatin1String("number") ? MsgIcon::None : MsgIcon::Information));
    }
    QCOMPARE(form.txtPathExcel->text(), path);

    QStringList listed;
    for (int i = 0; i < form.cmbSheet->count(); ++i)
        listed << form.cmbSheet->itemText(i);
    QCOMPARE(listed, sheets);
    QCOMPARE(form.cmbSheet->currentIndex(), sheets.isEmpty() ? -1 : 0);
    QCOMPARE(form.spList->MaxRows(), rows);
    if (rows > 0) {
        QCOMPARE(::headers(form.spList), headers);
        QCOMPARE(rowTexts(form.spList, 1), firstRow);
    }
    // The sheet list leaves its log beside the program.
    QFile log(m_env.path(QStringLiteral("ILOGFILE.TXT")));
    const bool listedOrFailed = !sheets.isEmpty() || messages == QStringList{kUnknown};
    QCOMPARE(log.exists(), listedOrFailed);
    if (listedOrFailed) {
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(path));
    }
}

// A file that cannot be read (locked by its owner on Windows) is not taken for a
// foreign file.
void ExcelImportTest::fileInUse()
{
    QString path = m_env.path(QStringLiteral("locked.xls"));
    if (geteuid() != 0) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(BiffTable(3, {{"a"}}));
        file.setPermissions({});
    } else {
        path = QStringLiteral("/sys/bus/pci/rescan"); // no one may read it, root neither
        if (!QFileInfo(path).isFile())
            QSKIP("no file here that root cannot read");
    }
    QCOMPARE(IsExcelFile(path), int16_t(ExcelCannotOpen));
    Form2 form;
    MsgRecorder rec;
    form.OpenWorkbook(path);
    QCOMPARE(rec.texts(),
             QStringList{QStringLiteral("파일을 열수 없습니다. 열려있는 엑셀파일을 닫아 주세요.")});
    QCOMPARE(int(rec.last().icon), int(MsgIcon::Information));
    QCOMPARE(form.cmbSheet->count(), 0);
}

void ExcelImportTest::pickStartFolder_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("empty") << QString() << DataDir() << QString();
    QTest::newRow("file name only") << "자료.xls" << DataDir() << "자료.xls";
    QTest::newRow("full path") << "/data/엑셀/자료.xls"
                               << "/data/엑셀"
                               << "자료.xls";
}

void ExcelImportTest::pickStartFolder()
{
    QFETCH(QString, initial);
    QFETCH(QString, folder);
    QFETCH(QString, fileName);
    Form2 form;
    MsgRecorder rec;
    rec.answer(vbOK, QStringLiteral("/chosen/file.xls"));
    QCOMPARE(form.PickExcelFile(initial, QStringLiteral("제목"), QStringLiteral("All|*.*")),
             QStringLiteral("/chosen/file.xls"));
    QCOMPARE(rec.last().folder, folder);
    QCOMPARE(rec.last().defaultText, fileName);
    QCOMPARE(rec.last().title, QStringLiteral("제목"));
    QCOMPARE(rec.last().filter, QStringLiteral("All|*.*"));
    QCOMPARE(form.PickExcelFile(initial, QStringLiteral("제목"), QStringLiteral("All|*.*")), QString());
}

void ExcelImportTest::savedSheetIndex_data()
{
    QTest::addColumn<QString>("saved"); // "<none>": no key
    QTest::newRow("no setting") << "<none>";
    QTest::newRow("0") << "0";
    QTest::newRow("beyond the sheets") << "3";
    QTest::newRow("negative") << "-1";
    QTest::newRow("not a number") << "x";
}

// A window opened with a path loads the workbook at once; the saved sheet index
// picks the sheet when the workbook has it, otherwise the first. The setting is
// only read.
void ExcelImportTest::savedSheetIndex()
{
    REQUIRE_SAMPLE_FILES();
    QFETCH(QString, saved);
    const QString file = SettingsFilePath(gAppTitle);
    QFile::remove(file);
    if (saved != QLatin1String("<none>"))
        QVERIFY(SaveSetting(gAppTitle, QStringLiteral("DataImp"), QStringLiteral("SheetIdx"), saved));
    QFile before(file);
    const QByteArray settings = before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();

    MsgRecorder rec;
    Form2 form(nullptr, fixture(QStringLiteral("fxl_simple2003_3.xls")));
    QCOMPARE(rec.count(), 0);
    QCOMPARE(form.cmbSheet->count(), 1);
    QCOMPARE(form.cmbSheet->currentIndex(), 0);
    QCOMPARE(form.spList->MaxRows(), 3);
    QCOMPARE(headers(form.spList), (QStringList{"Column 1", "Column 2", "Third Column", "", ""}));
    QFile after(file);
    QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), settings);
}

void ExcelImportTest::emptyGrid()
{
    Form2 form;
    form.btnImport->click();
    QCOMPARE(form.Text1->toPlainText(), kHead + QStringLiteral(");"));
    QCOMPARE(form.Text2->text(), QStringLiteral("0"));
    form.chameleonButton1->click();
    QCOMPARE(form.Text3->toPlainText(), kCompanyHead);
}

// From a workbook to rows in the database: the operator builds the record
// statement, runs it, types the first new number and builds the company statement.
void ExcelImportTest::importIntoDatabase()
{
    const QString path =
        workbook(QStringLiteral("요청.xls"), {{"프로그램", "화면", "제목", "내용"},
                                              {"누리셈", "frmMain", "It's broken", "C:\\temp\\a.txt 경로"},
                                              {"없는프로그램", "화면2", "제목 \"인용\"", "줄1\n끝\\"},
                                              {"세무'사랑", "f3", "t3"}});
    MsgRecorder rec;
    Form2 form(nullptr, path);
    QCOMPARE(rec.count(), 0);
    QCOMPARE(form.spList->MaxRows(), 3);
    QCOMPARE(headers(form.spList), (QStringList{"프로그램", "화면", "제목", "내용"}));

    const QList<ImportRecordRow> rows{{10, "frmMain", "It's broken", "C:\\temp\\a.txt 경로"},
                                      {51, "화면2", "제목 \"인용\"", "줄1\n끝\\"},
                                      {5, "f3", "t3", ""}};
    form.btnImport->click();
    const QString time = timeIn(form.Text1->toPlainText());
    QVERIFY(!time.isEmpty());
    QCOMPARE(form.Text1->toPlainText(), ListInsertSql(rows, QStringLiteral("kim"), time));
    QCOMPARE(form.Text2->text(), QStringLiteral("3"));

    // Again: the same statement, not a longer one.
    form.btnImport->click();
    QCOMPARE(form.Text1->toPlainText(),
             ListInsertSql(rows, QStringLiteral("kim"), timeIn(form.Text1->toPlainText())));
    QCOMPARE(form.Text2->text(), QStringLiteral("3"));
    const QString statement = form.Text1->toPlainText();
    const QString date = timeIn(statement).left(10);

    // Without a typed number the company rows are numbered from the record count.
    form.chameleonButton1->click();
    QCOMPARE(form.Text3->toPlainText(), CompanyInsertSql(3, 3, QStringLiteral("kim"), date));

    QCOMPARE(ExecSQL(statement), 3L);
    const long first = GetInsertId();
    QCOMPARE(first, 41L);
    form.Text2->setText(QString::number(first));
    form.chameleonButton1->click();
    QCOMPARE(form.Text3->toPlainText(),
             kCompanyHead + QStringLiteral(" ( 'kim','TAVEN','%1',41) ,( 'kim','TAVEN','%1',42) ,( "
                                           "'kim','TAVEN','%1',43)")
                                .arg(date));
    QCOMPARE(ExecSQL(form.Text3->toPlainText()), 3L);

    const QString t = timeIn(statement);
    QCOMPARE(m_db.rows(QStringLiteral("SELECT seq, appcode, formname, title, errtext, user_q, qusdate FROM "
                                      "as_import.aslist WHERE seq > 40 ORDER BY seq")),
             (QStringList{"41|10|frmMain|It's broken|C:\\temp\\a.txt 경로|kim|" + t,
                          "42|51|화면2|제목 \"인용\"|줄1\n끝\\|kim|" + t, "43|5|f3|t3||kim|" + t}));
    QCOMPARE(
        m_db.rows(
            QStringLiteral("SELECT user, comname, writedate, ascode FROM as_import.ascomp ORDER BY seq")),
        (QStringList{"kim|TAVEN|" + date + "|41", "kim|TAVEN|" + date + "|42", "kim|TAVEN|" + date + "|43"}));
}

QTEST_MAIN(ExcelImportTest)
#include "tst_excelimport.moc"
