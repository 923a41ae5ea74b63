#include "BiffWriter.h"
#include "TestDb.h"
#include "common/Cp949.h"
#include "grid/CellStyle.h"
#include "grid/ExcelWorkbooks.h"
#include "grid/SpreadGrid.h"
#include "sheets/SheetFile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

namespace {

// One cell of an expected-values file: "R3C2 DATE 37673.0 (2007, 2, 22, 0, 0, 0)".
struct ExpectedCell
{
    QString type;
    double value = 0;
    QString text;
};

struct ExpectedSheet
{
    QString name;
    int rows = 0;
    int cols = 0;
    std::map<std::pair<int, int>, ExpectedCell> cells; // rows 0..9
};

struct Expected
{
    int biffVersion = 0;
    std::vector<ExpectedSheet> sheets;
};

// A Python string literal as the dump writes it.
QString unquote(const QString& literal)
{
    QString out;
    for (qsizetype i = 1; i + 1 < literal.size(); ++i) {
        QChar c = literal[i];
        if (c != u'\\') {
            out += c;
            continue;
        }
        const QChar e = literal[++i];
        if (e == u'n')
            out += u'\n';
        else if (e == u't')
            out += u'\t';
        else if (e == u'x' || e == u'u') {
            const int digits = e == u'x' ? 2 : 4;
            out += QChar(literal.mid(i + 1, digits).toUShort(nullptr, 16));
            i += digits;
        } else
            out += e;
    }
    return out;
}

// The grid's text of a date that the dump gives as (y, m, d, h, mi, s).
QString dateText(const QString& tuple)
{
    const QStringList p = tuple.mid(1, tuple.size() - 2).split(QStringLiteral(", "));
    const auto n = [&](int i) { return p[i].toInt(); };
    const QString date = QStringLiteral("%1-%2-%3")
                             .arg(n(0), 4, 10, QLatin1Char('0'))
                             .arg(n(1), 2, 10, QLatin1Char('0'))
                             .arg(n(2), 2, 10, QLatin1Char('0'));
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(n(3), 2, 10, QLatin1Char('0'))
                             .arg(n(4), 2, 10, QLatin1Char('0'))
                             .arg(n(5), 2, 10, QLatin1Char('0'));
    if (n(0) == 0)
        return time;
    return n(3) || n(4) || n(5) ? date + QLatin1Char(' ') + time : date;
}

Expected readExpected(const QString& path)
{
    Expected ex;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return ex;
    static const QRegularExpression version(QStringLiteral("biff_version=(\\d+)"));
    static const QRegularExpression sheet(QStringLiteral("^SHEET \\d+ '(.*)' nrows=(\\d+) ncols=(\\d+)$"));
    static const QRegularExpression cell(QStringLiteral("^  R(\\d+)C(\\d+) (\\w+) (.*)$"));
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        QRegularExpressionMatch m;
        if (line.startsWith(u'#')) {
            if ((m = version.match(line)).hasMatch())
                ex.biffVersion = m.captured(1).toInt();
        } else if ((m = sheet.match(line)).hasMatch()) {
            ex.sheets.push_back({m.captured(1), m.captured(2).toInt(), m.captured(3).toInt(), {}});
        } else if ((m = cell.match(line)).hasMatch() && !ex.sheets.empty()) {
            ExpectedCell c;
            c.type = m.captured(3);
            const QString rest = m.captured(4);
            if (c.type == QLatin1String("TEXT")) {
                c.text = unquote(rest);
            } else if (c.type == QLatin1String("NUMBER")) {
                c.value = rest.toDouble();
                c.text = ExcelNumberText(c.value);
            } else if (c.type == QLatin1String("DATE")) {
                const qsizetype blank = rest.indexOf(u' ');
                c.value = rest.left(blank).toDouble();
                c.text = dateText(rest.mid(blank + 1));
            } else if (c.type == QLatin1String("ERROR")) {
                c.value = rest.section(u' ', 0, 0).toInt(nullptr, 16);
                c.text = rest.section(u' ', 1);
            } else if (c.type == QLatin1String("BOOL")) {
                c.value = rest.toInt();
                c.text = c.value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            }
            ex.sheets.back().cells[{m.captured(1).toInt(), m.captured(2).toInt()}] = c;
        }
    }
    return ex;
}

QString kindName(ExcelCellKind kind)
{
    switch (kind) {
    case ExcelCellKind::Number:
        return QStringLiteral("NUMBER");
    case ExcelCellKind::Date:
        return QStringLiteral("DATE");
    case ExcelCellKind::Text:
        return QStringLiteral("TEXT");
    case ExcelCellKind::Boolean:
        return QStringLiteral("BOOL");
    case ExcelCellKind::Error:
        return QStringLiteral("ERROR");
    }
    return {};
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList fixtureNames()
{
    return QDir(FixturePath(QStringLiteral("excel-old")))
        .entryList({QStringLiteral("*.xls"), QStringLiteral("*.xlw")}, QDir::Files, QDir::Name);
}

bool readable(const QString& name)
{
    const int v =
        readExpected(FixturePath(QStringLiteral("excel-old/") + name + QStringLiteral(".expected.txt")))
            .biffVersion;
    return v >= 20 && v <= 30;
}

// The cells of a book built by the writer, "R0C0 TEXT value".
QStringList cellLines(const QByteArray& data)
{
    ExcelBook book;
    QString error;
    if (!ReadExcelBook(data, QStringLiteral("x"), book, error))
        return {QStringLiteral("error: ") + error};
    QStringList out;
    for (const ExcelCell& c : book.sheets.at(0).cells)
        out << QStringLiteral("R%1C%2 %3 %4").arg(c.row).arg(c.col).arg(kindName(c.kind), c.text);
    return out;
}

} // namespace

class ExcelBiffTest : public QObject
{
    Q_OBJECT

private slots:
    void fixtures_data();
    void fixtures();
    void truncated_data();
    void truncated();
    void corrupted_data();
    void corrupted();
    void fileTest_data();
    void fileTest();
    void codePages_data();
    void codePages();
    void cellRecords_data();
    void cellRecords();
    void numberText_data();
    void numberText();
    void dateText_data();
    void dateText();
    void sheetListAndLog();
    void importOntoGrid();
};

void ExcelBiffTest::fixtures_data()
{
    REQUIRE_SAMPLE_FILES();
    QTest::addColumn<QString>("name");
    const QStringList names = fixtureNames();
    QVERIFY(names.size() >= 14);
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << name;
}

// A sheet against the first ten rows an independent reader found in it.
void compareSheet(const ExcelSheet& sheet, const ExpectedSheet& want)
{
    QCOMPARE(sheet.rows, want.rows);
    QCOMPARE(sheet.cols, want.cols);
    std::map<std::pair<int, int>, const ExcelCell*> got;
    for (const ExcelCell& c : sheet.cells)
        if (c.row < 10)
            got[{c.row, c.col}] = &c;
    for (const auto& [pos, w] : want.cells) {
        const QString where = QStringLiteral("R%1C%2").arg(pos.first).arg(pos.second);
        QVERIFY2(got.count(pos), qPrintable(where + QStringLiteral(" missing")));
        const ExcelCell& c = *got[pos];
        QCOMPARE(kindName(c.kind) + QLatin1Char(' ') + where, w.type + QLatin1Char(' ') + where);
        QCOMPARE(c.text, w.text);
        if (w.type != QLatin1String("TEXT"))
            QCOMPARE(c.value, w.value);
    }
    QCOMPARE(got.size(), want.cells.size());
}

// Every sample file against the values an independent reader found in it: the old
// reader reads the Excel 2.x / 3.0 files and refuses the newer ones, the import's
// reader reads them all, every sheet of a workbook.
void ExcelBiffTest::fixtures()
{
    QFETCH(QString, name);
    const QString path = FixturePath(QStringLiteral("excel-old/") + name);
    const Expected ex = readExpected(path + QStringLiteral(".expected.txt"));
    QVERIFY(ex.biffVersion > 0);
    const QString baseName = QFileInfo(path).completeBaseName();
    ExcelBook book, any;
    QString error;
    const bool ok = ReadExcelBook(readAll(path), baseName, book, error);
    SheetFormat format;
    QVERIFY2(ReadSheetFile(path, any, format, error), qPrintable(error));
    QCOMPARE(int(format), int(SheetFormat::Biff));
    QCOMPARE(SheetFileCode(path), int16_t(ExcelReadable));
    QCOMPARE(any.biffVersion, ex.biffVersion == 70 ? 5 : ex.biffVersion / 10);
    QCOMPARE(any.sheets.size(), ex.sheets.size());
    for (size_t i = 0; i < ex.sheets.size(); ++i) {
        // Worksheet files store no sheet name: the sheet is named after its file.
        const bool unnamed = ex.sheets[i].name == QLatin1String("Sheet 1") && ex.biffVersion <= 40;
        QCOMPARE(any.sheets[i].name, unnamed ? baseName : ex.sheets[i].name);
        compareSheet(any.sheets[i], ex.sheets[i]);
        if (QTest::currentTestFailed())
            return;
    }

    if (ex.biffVersion > 30) {
        QCOMPARE(IsExcelFile(path), int16_t(ExcelNotReadable));
        QVERIFY(!ok);
        QVERIFY(book.sheets.empty());
        return;
    }
    QCOMPARE(IsExcelFile(path), int16_t(ExcelReadable));
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(book.biffVersion * 10, ex.biffVersion / 10 * 10);
    QCOMPARE(book.sheets.size(), size_t(1));
    QCOMPARE(book.sheets[0].name, baseName);
    compareSheet(book.sheets[0], ex.sheets[0]);
}

void ExcelBiffTest::truncated_data()
{
    REQUIRE_SAMPLE_FILES();
    QTest::addColumn<QString>("name");
    for (const QString& name : fixtureNames())
        if (readable(name))
            QTest::newRow(qPrintable(name)) << name;
}

// A file cut short anywhere is refused as a whole; the file test still knows it by
// its first record.
void ExcelBiffTest::truncated()
{
    QFETCH(QString, name);
    const QByteArray data = readAll(FixturePath(QStringLiteral("excel-old/") + name));
    QVERIFY(!data.isEmpty());
    const qsizetype headLen = data.startsWith(QByteArray("\x09\x00", 2)) ? 8 : 10;
    const qsizetype step = data.size() > 20000 ? 251 : 1;
    for (qsizetype cut = 0; cut < data.size(); cut += (cut > data.size() - 64 ? 1 : step)) {
        const QByteArray part = data.left(cut);
        ExcelBook book;
        QString error;
        QVERIFY2(!ReadExcelBook(part, QStringLiteral("x"), book, error), qPrintable(QString::number(cut)));
        QVERIFY(!error.isEmpty());
        QVERIFY(book.sheets.empty());
        QCOMPARE(ExcelFileCodeOf(part), int16_t(cut >= headLen ? ExcelReadable : ExcelNotReadable));
    }
}

void ExcelBiffTest::corrupted_data()
{
    REQUIRE_SAMPLE_FILES();
    truncated_data();
}

// Bytes changed at random never break the reader: it reads a worksheet within the
// sheet's limits or refuses the file.
void ExcelBiffTest::corrupted()
{
    QFETCH(QString, name);
    const QByteArray data = readAll(FixturePath(QStringLiteral("excel-old/") + name));
    QRandomGenerator random(20240601);
    const int rounds = data.size() > 20000 ? 150 : 1500;
    for (int round = 0; round < rounds; ++round) {
        QByteArray bad = data;
        const int changes = 1 + int(random.bounded(8));
        for (int i = 0; i < changes; ++i)
            bad[random.bounded(int(bad.size()))] = char(random.bounded(256));
        ExcelBook book;
        QString error;
        if (!ReadExcelBook(bad, QStringLiteral("x"), book, error)) {
            QVERIFY(book.sheets.empty());
            continue;
        }
        const ExcelSheet& sheet = book.sheets.at(0);
        QVERIFY(sheet.rows <= 16384 && sheet.cols <= 256);
        for (const ExcelCell& c : sheet.cells)
            QVERIFY(c.row < sheet.rows && c.col < sheet.cols);
    }
}

void ExcelBiffTest::fileTest_data()
{
    QTest::addColumn<QByteArray>("content"); // "<missing>" / "<folder>": no file
    QTest::addColumn<int>("code");
    QTest::newRow("missing file") << QByteArray("<missing>") << 2;
    QTest::newRow("folder") << QByteArray("<folder>") << 2;
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("text file") << QByteArray("program,screen,title\r\n") << 0;
    QTest::newRow("Excel 2.x worksheet") << BiffWriter(2).bytes() << 1;
    QTest::newRow("Excel 3.0 worksheet") << BiffWriter(3).bytes() << 1;
    QTest::newRow("Excel 2.x chart") << QByteArray("\x09\x00\x04\x00\x02\x00\x20\x00", 8) << 0;
    QTest::newRow("Excel 3.0 macro sheet") << QByteArray("\x09\x02\x06\x00\x00\x00\x40\x00\x00\x00", 10) << 0;
    QTest::newRow("Excel 3.0 BOF too short") << QByteArray("\x09\x02\x04\x00\x00\x00\x10\x00", 8) << 0;
    QTest::newRow("Excel 4.0 worksheet") << QByteArray("\x09\x04\x06\x00\x00\x00\x10\x00\x00\x00", 10) << 0;
    QTest::newRow("Excel 5 stream") << QByteArray("\x09\x08\x08\x00\x00\x05\x10\x00\x00\x00\x00\x00", 12)
                                    << 0;
    QTest::newRow("compound document") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << 0;
}

void ExcelBiffTest::fileTest()
{
    QFETCH(QByteArray, content);
    QFETCH(int, code);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("통합문서.xls"));
    if (content == "<folder>")
        path = dir.path();
    else if (content != "<missing>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QCOMPARE(IsExcelFile(path), int16_t(code));
}

void ExcelBiffTest::codePages_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("codePage"); // -1: no CODEPAGE record
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString korean = QStringLiteral("누리셈 화면 똠방각하");
    QTest::newRow("no code page: Korean") << 3 << -1 << cp949::encode(korean) << korean;
    QTest::newRow("949, version 2") << 2 << 949 << cp949::encode(korean) << korean;
    QTest::newRow("949, version 3") << 3 << 949 << cp949::encode(korean) << korean;
    QTest::newRow("Windows ANSI of Excel 2/3")
        << 2 << 32769 << QByteArray("caf\xE9 \x80") << QStringLiteral("café €");
    QTest::newRow("1252") << 3 << 1252 << QByteArray("na\xEFve") << QStringLiteral("naïve");
    QTest::newRow("Macintosh of Excel 2/3") << 3 << 32768 << QByteArray("caf\x8E") << QStringLiteral("café");
    QTest::newRow("Shift-JIS") << 3 << 932 << QByteArray("\x8A\xBF\x8E\x9A") << QStringLiteral("漢字");
    QTest::newRow("unknown code page read as Korean") << 3 << 1361 << cp949::encode(korean) << korean;
}

void ExcelBiffTest::codePages()
{
    QFETCH(int, version);
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    BiffWriter w(version);
    if (codePage >= 0)
        w.codePage(quint16(codePage));
    w.label(0, 0, bytes).format(bytes + " 0.00").xf(0);
    ExcelBook book;
    QString error;
    QVERIFY2(ReadExcelBook(w.bytes(), QStringLiteral("견적"), book, error), qPrintable(error));
    QCOMPARE(book.sheets.at(0).name, QStringLiteral("견적"));
    QCOMPARE(book.sheets.at(0).cells.at(0).text, text);
    QCOMPARE(book.codePage, codePage < 0 ? 0 : codePage);
}

void ExcelBiffTest::cellRecords_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("cells");
    const QByteArray nan = BiffWriter::le64(std::numeric_limits<double>::quiet_NaN());
    const auto special = [](int type, int value) {
        QByteArray r(8, '\0');
        r[0] = char(type);
        r[2] = char(value);
        r[6] = r[7] = char(0xFF);
        return r;
    };

    QTest::newRow("RK: integer, hundredths, double")
        << BiffWriter(3)
               .rk(0, 0, (1234u << 2) | 2)
               .rk(0, 1, (1234u << 2) | 3)
               .rk(0, 2, quint32(-5 * 4) | 2)
               .rk(0, 3, 0x3FF00000u)
               .rk(0, 4, 0x3FF00000u | 1)
               .bytes()
        << QStringList{"R0C0 NUMBER 1234", "R0C1 NUMBER 12.34", "R0C2 NUMBER -5", "R0C3 NUMBER 1",
                       "R0C4 NUMBER 0.01"};
    QTest::newRow("integer and number, version 2")
        << BiffWriter(2).integer(0, 0, 65535).number(0, 1, -56.3089).number(1, 0, 1e20).bytes()
        << QStringList{"R0C0 NUMBER 65535", "R0C1 NUMBER -56.3089", "R1C0 NUMBER 100000000000000000000"};
    QTest::newRow("booleans and errors")
        << BiffWriter(3)
               .boolErr(0, 0, 1, false)
               .boolErr(0, 1, 0, false)
               .boolErr(0, 2, 0x24, true)
               .boolErr(0, 3, 0x00, true)
               .bytes()
        << QStringList{"R0C0 BOOL TRUE", "R0C1 BOOL FALSE", "R0C2 ERROR #NUM!", "R0C3 ERROR #NULL!"};
    QTest::newRow("formula results, version 3")
        << BiffWriter(3)
               .formula(0, 0, BiffWriter::le64(2.5))
               .formula(0, 1, special(0, 0))
               .string(cp949::encode(QStringLiteral("합계")))
               .formula(0, 2, special(1, 1))
               .formula(0, 3, special(2, 0x2A))
               .formula(0, 4, special(3, 0))
               .bytes()
        << QStringList{"R0C0 NUMBER 2.5", "R0C1 TEXT 합계", "R0C2 BOOL TRUE", "R0C3 ERROR #N/A",
                       "R0C4 TEXT "};
    QTest::newRow("formula text, version 2")
        << BiffWriter(2).formula(0, 0, special(0, 0)).string("abc").bytes() << QStringList{"R0C0 TEXT abc"};
    QTest::newRow("formula text whose STRING record is missing")
        << BiffWriter(3).formula(0, 0, special(0, 0)).number(0, 1, 1).bytes()
        << QStringList{"R0C0 TEXT ", "R0C1 NUMBER 1"};
    QTest::newRow("a number that is none")
        << BiffWriter(3)
               .number(0, 0, 0, 0)
               .record(0x0203, BiffWriter::le16(0) + BiffWriter::le16(1) + BiffWriter::le16(0) + nan)
               .bytes()
        << QStringList{"R0C0 NUMBER 0", "R0C1 ERROR #NUM!"};
    QTest::newRow("last cell at a place wins, cells sorted")
        << BiffWriter(3).label(2, 0, "c").label(0, 1, "b").label(0, 0, "a").label(0, 1, "B").bytes()
        << QStringList{"R0C0 TEXT a", "R0C1 TEXT B", "R2C0 TEXT c"};
    QTest::newRow("dates through XF records, version 3")
        << BiffWriter(3)
               .format("General")
               .format("m/d/yy")
               .format("h:mm:ss")
               .format("m/d/yy h:mm")
               .format("\"day\" 0.00")
               .format("[h]:mm")
               .xf(0)
               .xf(1)
               .xf(2)
               .xf(3)
               .xf(4)
               .xf(5)
               .number(0, 0, 37673, 1)
               .number(0, 1, 0.5, 2)
               .number(0, 2, 37673.75, 3)
               .number(0, 3, 3, 4)
               .number(0, 4, 1.25, 5)
               .number(0, 5, 7, 0)
               .bytes()
        << QStringList{"R0C0 DATE 2003-02-21", "R0C1 DATE 12:00:00", "R0C2 DATE 2003-02-21 18:00:00",
                       "R0C3 NUMBER 3",        "R0C4 DATE 06:00:00", "R0C5 NUMBER 7"};
    QTest::newRow("1904 dates, IXFE, version 2") << BiffWriter(2)
                                                        .dateMode1904()
                                                        .format("General")
                                                        .format("yyyy-mm-dd")
                                                        .xf(0)
                                                        .xf(1)
                                                        .ixfe(1)
                                                        .number(0, 0, 24746, 63)
                                                        .number(0, 1, 24746, 0)
                                                        .bytes()
                                                 << QStringList{"R0C0 DATE 1971-10-02", "R0C1 NUMBER 24746"};
    QTest::newRow("version 2 without XF records: the cell's own format")
        << BiffWriter(2)
               .format("General")
               .format("d-mmm-yy")
               .cellFormat(1)
               .integer(0, 0, 24746)
               .cellFormat(0)
               .integer(0, 1, 24746)
               .bytes()
        << QStringList{"R0C0 DATE 1967-10-01", "R0C1 NUMBER 24746"};
    QTest::newRow("built-in date formats when the file has none")
        << BiffWriter(3)
               .xf(0)
               .xf(14)
               .xf(20)
               .number(0, 0, 35813, 1)
               .number(0, 1, 0.75, 2)
               .number(0, 2, 2, 0)
               .bytes()
        << QStringList{"R0C0 DATE 1998-01-18", "R0C1 DATE 18:00:00", "R0C2 NUMBER 2"};
    QTest::newRow("negative serial with a date format stays a number")
        << BiffWriter(3).format("m/d/yy").xf(0).number(0, 0, -3, 0).bytes() << QStringList{"R0C0 NUMBER -3"};
    QTest::newRow("empty label and unknown records") << BiffWriter(3)
                                                            .record(0x0200, QByteArray(10, '\0'))
                                                            .label(1, 3, "")
                                                            .record(0x0201, QByteArray(6, '\0'))
                                                            .record(0x1234, "xyz")
                                                            .bytes()
                                                     << QStringList{"R1C3 TEXT "};
    QTest::newRow("label longer than its record")
        << BiffWriter(3).record(0x0204, QByteArray("\0\0\0\0\0\0\x09\0abc", 11)).bytes()
        << QStringList{"error: label longer than its record (record 0x0204 at offset 10)"};
    QTest::newRow("cell beyond column 256")
        << BiffWriter(3).label(0, 256, "x").bytes()
        << QStringList{"error: cell outside the worksheet (record 0x0204 at offset 10)"};
    QTest::newRow("cell beyond row 16384")
        << BiffWriter(2).integer(16384, 0, 1).bytes()
        << QStringList{"error: cell outside the worksheet (record 0x0002 at offset 8)"};
    QTest::newRow("second sheet start")
        << BiffWriter(3).record(0x0209, QByteArray("\0\0\x10\0\0\0", 6)).bytes()
        << QStringList{"error: unexpected sheet start at offset 10"};
    QTest::newRow("cell record too short")
        << BiffWriter(3).record(0x0203, QByteArray(10, '\0')).bytes()
        << QStringList{"error: cell record too short (record 0x0203 at offset 10)"};
    QTest::newRow("data after the end record is not read")
        << BiffWriter(3).label(0, 0, "a").bytes() + QByteArray("garbage") << QStringList{"R0C0 TEXT a"};
}

void ExcelBiffTest::cellRecords()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, cells);
    QCOMPARE(cellLines(data), cells);
}

void ExcelBiffTest::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << 4.0 << "4";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("fraction") << 1385729.234 << "1385729.234";
    QTest::newRow("14 significant digits") << 14.754317602356753 << "14.754317602357";
    QTest::newRow("large") << 123456789012345678.0 << "123456789012350000";
    QTest::newRow("small") << -0.0000123 << "-0.0000123";
    QTest::newRow("binary fraction") << 0.1 + 0.2 << "0.3";
}

void ExcelBiffTest::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(ExcelNumberText(value), text);
}

void ExcelBiffTest::dateText_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<bool>("withDate");
    QTest::addColumn<bool>("withTime");
    QTest::addColumn<QString>("text");
    QTest::newRow("1900: first day") << 1.0 << false << true << false << "1900-01-01";
    QTest::newRow("1900: 28 February") << 59.0 << false << true << false << "1900-02-28";
    QTest::newRow("1900: the day that never was") << 60.0 << false << true << false << "1900-02-29";
    QTest::newRow("1900: 1 March") << 61.0 << false << true << false << "1900-03-01";
    QTest::newRow("1900: date and time") << 37673.75 << false << true << true << "2003-02-21 18:00:00";
    QTest::newRow("1904: first day") << 1.0 << true << true << false << "1904-01-02";
    QTest::newRow("time only") << 0.9819907407407408 << false << false << true << "23:34:04";
    QTest::newRow("time rounds up to the next day")
        << 41.9999999999 << false << true << true << "1900-02-11 00:00:00";
    QTest::newRow("day 0 shows its time") << 0.0 << false << true << false << "00:00:00";
    QTest::newRow("last day") << 2958465.0 << false << true << false << "9999-12-31";
    QTest::newRow("after the last day") << 2958466.0 << false << true << false << "";
    QTest::newRow("negative") << -1.0 << false << true << false << "";
}

void ExcelBiffTest::dateText()
{
    QFETCH(double, serial);
    QFETCH(bool, date1904);
    QFETCH(bool, withDate);
    QFETCH(bool, withTime);
    QFETCH(QString, text);
    QCOMPARE(ExcelDateText(serial, date1904, withDate, withTime), text);
}

void ExcelBiffTest::sheetListAndLog()
{
    REQUIRE_SAMPLE_FILES();
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("ILOGFILE.TXT"));
    const QString bad = dir.filePath(QStringLiteral("잘린.xls"));
    QFile cut(bad);
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(readAll(FixturePath(QStringLiteral("excel-old/edr_as3xls_BIFF3.xls"))).left(500));
    cut.close();

    ExcelWorkbooks books;
    QStringList names{QStringLiteral("old")};
    int16_t count = -1, handle = -1;
    const QString biff3 = FixturePath(QStringLiteral("excel-old/edr_as3xls_BIFF3.xls"));
    QVERIFY(books.GetExcelSheetList(biff3, names, count, log, handle, true));
    QCOMPARE(names, QStringList{QStringLiteral("edr_as3xls_BIFF3")});
    QCOMPARE(count, int16_t(1));
    QCOMPARE(handle, int16_t(0));
    QVERIFY(books.GetExcelSheetList(FixturePath(QStringLiteral("excel-old/fxl_simple2003_21.xls")), names,
                                    count, log, handle, false));
    QCOMPARE(handle, int16_t(1));
    QCOMPARE(books.Sheet(0, 0)->rows, 10);
    QCOMPARE(books.Sheet(1, 0)->name, QStringLiteral("fxl_simple2003_21"));
    QVERIFY(!books.Sheet(1, 1));
    QVERIFY(!books.Sheet(2, 0));
    QVERIFY(!books.Sheet(-1, 0));

    QStringList lines = QString::fromUtf8(readAll(log)).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].endsWith(QLatin1Char(' ') + biff3));
    QCOMPARE(
        lines[1],
        QStringLiteral("BIFF3 worksheet, code page 32768: edr_as3xls_BIFF3 (10 rows, 5 columns, 50 cells)"));
    QCOMPARE(
        lines[3],
        QStringLiteral("BIFF2 worksheet, code page 32769: fxl_simple2003_21 (4 rows, 6 columns, 16 cells)"));

    // A failure leaves the handle and names alone and says why in a new log.
    QVERIFY(!books.GetExcelSheetList(bad, names, count, log, handle, true));
    QCOMPARE(handle, int16_t(1));
    QCOMPARE(names, QStringList{QStringLiteral("fxl_simple2003_21")});
    lines = QString::fromUtf8(readAll(log)).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].endsWith(bad));
    QVERIFY2(lines[1].startsWith(QStringLiteral("failed: record 0x")), qPrintable(lines[1]));
    QVERIFY(
        !books.GetExcelSheetList(dir.filePath(QStringLiteral("none.xls")), names, count, log, handle, true));
    QVERIFY(readAll(log).contains("failed: cannot open the file"));

    // A log that cannot be written changes nothing.
    QVERIFY(books.GetExcelSheetList(biff3, names, count, dir.filePath(QStringLiteral("no/such/dir/log")),
                                    handle, true));
    QCOMPARE(handle, int16_t(2));
}

void ExcelBiffTest::importOntoGrid()
{
    REQUIRE_SAMPLE_FILES();
    ExcelWorkbooks books;
    QStringList names;
    int16_t count = 0, handle = -1;
    QVERIFY(books.GetExcelSheetList(FixturePath(QStringLiteral("excel-old/edr_as3xls_BIFF3.xls")), names,
                                    count, {}, handle, true));
    SpreadGrid grid;
    QVERIFY(!books.ImportExcelSheet(grid, handle, 1));
    QVERIFY(!books.ImportExcelSheet(grid, int16_t(handle + 1), 0));
    QVERIFY(books.ImportExcelSheet(grid, handle, 0));
    QCOMPARE(grid.MaxCols(), 5);
    QCOMPARE(grid.MaxRows(), 10);
    QCOMPARE(grid.DataRowCnt(), 10);
    const auto text = [&](int col, int row) {
        QString value;
        grid.GetText(col, row, value);
        return value;
    };
    QCOMPARE(grid.CellType(1, 1), int(CellTypeNumber));
    QCOMPARE(text(1, 1), QStringLiteral("1"));
    QCOMPARE(grid.CellType(2, 1), int(CellTypeEdit));
    QCOMPARE(text(2, 1), QStringLiteral("Hi"));
    QCOMPARE(text(4, 1), QStringLiteral("14.754317602357"));
    QCOMPARE(grid.DisplayText(3, 10), QStringLiteral("1385729.234"));
    QCOMPARE(grid.CellType(3, 2), int(CellTypeEdit));
    QCOMPARE(text(3, 2), QStringLiteral("2007-02-22"));
    QCOMPARE(text(3, 4), QStringLiteral("Saturday"));

    // Every number of a large real sheet reads back from its number cell as written.
    QVERIFY(books.GetExcelSheetList(FixturePath(QStringLiteral("excel-old/edr_biff3.xls")), names, count, {},
                                    handle, true));
    QVERIFY(books.ImportExcelSheet(grid, handle, 0));
    int numbers = 0;
    for (const ExcelCell& c : books.Sheet(handle, 0)->cells) {
        QCOMPARE(text(c.col + 1, c.row + 1), c.text);
        numbers += c.kind == ExcelCellKind::Number;
    }
    QVERIFY(numbers > 6000);

    // A second sheet replaces the first whole: sizes, texts and number cells.
    ExcelSheet small;
    small.rows = 2;
    small.cols = 2;
    small.cells = {{0, 0, ExcelCellKind::Text, 0, QStringLiteral("제목")},
                   {1, 1, ExcelCellKind::Number, -2.5, QStringLiteral("-2.5")}};
    ImportExcelSheet(grid, small);
    QCOMPARE(grid.MaxCols(), 2);
    QCOMPARE(grid.MaxRows(), 2);
    QCOMPARE(grid.CellType(1, 1), int(CellTypeEdit));
    QCOMPARE(text(1, 1), QStringLiteral("제목"));
    QCOMPARE(text(2, 1), QString());
    QCOMPARE(text(1, 2), QString());
    QCOMPARE(grid.CellType(2, 2), int(CellTypeNumber));
    QCOMPARE(text(2, 2), QStringLiteral("-2.5"));
    QVERIFY(grid.ReDraw());
}

QTEST_MAIN(ExcelBiffTest)
#include "tst_excelbiff.moc"
