#include "sheets/SheetFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Debian's own Python, where the Debian package python3-openpyxl installs.
const QString kPython = QStringLiteral("/usr/bin/python3");

// Every cell of the first sheet: "A1 kind text", one a line.
QString cellsOf(const QString& path, QString& error)
{
    ExcelBook book;
    SheetFormat format;
    if (!ReadSheetFile(path, book, format, error) || book.sheets.empty())
        return {};
    QStringList out;
    for (const ExcelCell& c : book.sheets.front().cells)
        out << QStringLiteral("%1%2 %3 %4")
                   .arg(QChar(u'A' + c.col))
                   .arg(c.row + 1)
                   .arg(int(c.kind))
                   .arg(c.text);
    return out.join(u'\n');
}

} // namespace

// Workbooks of other writers: one saved by openpyxl, whose formulas have no value until
// Excel works them out, and one written part by part as Excel writes them (shared
// strings with rich text and phonetic runs, prefixed element names, line ends).
class XlsxReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void otherWriters_data();
    void otherWriters();

private:
    QTemporaryDir m_dir;
};

void XlsxReaderTest::otherWriters_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("cells");
    QTest::newRow("openpyxl, a formula not worked out")
        << "import sys, datetime, openpyxl\n"
           "wb = openpyxl.Workbook(); ws = wb.active\n"
           "ws.append([1, 2.5, '한글 & <b>', True, '=A1+1', datetime.datetime(2024, 5, 6, 7, 8), 'a\\nb'])\n"
           "wb.save(sys.argv[1])\n"
        << QStringLiteral(
               "A1 0 1\nB1 0 2.5\nC1 2 한글 & <b>\nD1 3 TRUE\nF1 1 2024-05-06 07:08:00\nG1 2 a\nb");
    QTest::newRow("parts as Excel writes them")
        << "import sys, zipfile\n"
           "ns = 'xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"'\n"
           "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
           "z.writestr('xl/workbook.xml', '<workbook><sheets><sheet name=\"S\" r:id=\"r1\" "
           "xmlns:r=\"rel\"/></sheets></workbook>')\n"
           "z.writestr('xl/_rels/workbook.xml.rels', '<Relationships><Relationship Id=\"r1\" "
           "Type=\"a/worksheet\" Target=\"sheet.xml\"/></Relationships>')\n"
           "z.writestr('xl/sharedStrings.xml', '<sst count=\"2\" uniqueCount=\"2\"><si><r><t>매출 </t></r>"
           "<r><rPr><b/></rPr><t>오류</t></r><rPh><t>phonetic</t></rPh></si>"
           "<si><t xml:space=\"preserve\">a_x000D_&#10;b &amp; c\\r\\n</t></si></sst>')\n"
           "z.writestr('xl/sheet.xml', '<?xml version=\"1.0\" encoding=\"UTF-8\"?>\\r\\n<x:worksheet ' + ns "
           "+ "
           "'>\\r\\n<x:sheetData>\\r\\n <x:row r=\"1\">\\r\\n  <x:c r=\"A1\" "
           "t=\"s\"><x:v>0</x:v></x:c>\\r\\n'"
           "'  <x:c r=\"B1\" t=\"s\"><x:v> 1 </x:v></x:c><x:c r=\"C1\" t=\"str\"><x:f>A1</x:f>"
           "<x:v>x_x0009_y</x:v></x:c>\\r\\n </x:row>\\r\\n</x:sheetData></x:worksheet>')\n"
        << QStringLiteral("A1 2 매출 오류\nB1 2 a\r\nb & c\n\nC1 2 x\ty");
}

void XlsxReaderTest::otherWriters()
{
    QFETCH(QString, script);
    QFETCH(QString, cells);
    if (QProcess::execute(kPython, {"-c", "import openpyxl"}) != 0)
        QSKIP("Debian's python3-openpyxl is not installed");
    const QString path =
        m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".xlsx"));
    QCOMPARE(QProcess::execute(kPython, {"-c", script, path}), 0);
    QString error;
    QCOMPARE(cellsOf(path, error), cells);
    QCOMPARE(error, QString());
}

QTEST_GUILESS_MAIN(XlsxReaderTest)
#include "tst_xlsxreader.moc"
