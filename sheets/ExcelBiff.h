#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// Excel files of the record format (BIFF): the worksheet files of Excel 2.x (BIFF2),
// 3.0 (BIFF3) and 4.0 (BIFF4), which hold one worksheet and no sheet name (the sheet
// is named after the file, as Excel names it), Excel 4.0 workbooks (.xlw) and the
// compound-document workbooks of Excel 5 to 2003 (BIFF5, BIFF8).

enum class ExcelCellKind : quint8
{
    Number,
    Date,
    Text,
    Boolean,
    Error
};

struct ExcelCell
{
    int row = 0; // from 0
    int col = 0; // from 0
    ExcelCellKind kind = ExcelCellKind::Text;
    // Number: the value; Date: the serial day number; Boolean: 0 or 1; Error: its code.
    double value = 0;
    // What the cell reads as in the grid: the label; ExcelNumberText(value); the date
    // as ExcelDateText gives it; "TRUE" / "FALSE"; "#DIV/0!" and the like.
    QString text;
};

struct ExcelSheet
{
    QString name;
    int rows = 0;                 // last row that holds a cell + 1
    int cols = 0;                 // last column that holds a cell + 1
    std::vector<ExcelCell> cells; // one per position, by row, then by column
};

struct ExcelBook
{
    int biffVersion = 0; // 2, 3, 4, 5 or 8; 0 for the files of other formats
    int codePage = 0;    // as the file states it; 0 when it states none (read as CP949)
    bool date1904 = false;
    std::vector<ExcelSheet> sheets;
};

// Answers of the Excel-file test of the old-format reader.
enum ExcelFileCode : int16_t
{
    ExcelNotReadable = 0, // not an Excel file, or Excel 4.0 or newer
    ExcelReadable = 1,
    ExcelCannotOpen = 2 // missing, or cannot be read
};

// The Excel-file test of a file: readable for Excel 2.x and 3.0 worksheets only.
int16_t IsExcelFile(const QString& fileName);
// The same test on the first bytes of a file.
int16_t ExcelFileCodeOf(const QByteArray& head);

// Reads a whole worksheet file. Returns false, with `error` saying why and `book`
// empty, when the data is not one complete BIFF2 or BIFF3 worksheet.
bool ReadExcelBook(const QByteArray& data, const QString& sheetName, ExcelBook& book, QString& error);
// Reads any of the files above (Excel 2.x and 3.0 worksheets read as ReadExcelBook reads
// them); worksheet files are named `sheetName`. Only worksheets are taken from a
// workbook; its charts and macro sheets are left out.
bool ReadXlsBook(const QByteArray& data, const QString& sheetName, ExcelBook& book, QString& error);

// A number as the grid holds it: at most 14 significant digits (what a number cell
// keeps exactly through its rounding), no exponent, no trailing zeros
// ("1385729.234", "-56.3089", "4").
QString ExcelNumberText(double value);
// A date serial number as text: "YYYY-MM-DD", "hh:mm:ss" or "YYYY-MM-DD hh:mm:ss".
// "" for a serial outside the calendar (negative, or after 9999).
QString ExcelDateText(double serial, bool date1904, bool withDate, bool withTime);
// Label bytes in the file's code page (0: none stated, read as CP949).
QString DecodeExcelText(const QByteArray& bytes, int codePage);
