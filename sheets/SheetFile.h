#pragma once

#include "sheets/ExcelBiff.h"

// The spreadsheet files the import reads, whatever their format: Excel 2.x to 2003
// (.xls, .xlw), Excel 2007 and later (.xlsx) and CSV (.csv). A file is known by its
// first bytes; a CSV file, which has none of its own, by its name.

enum class SheetFormat
{
    Unknown,
    Biff,
    Xlsx,
    Csv
};

SheetFormat SheetFormatOf(const QByteArray& head, const QString& fileName);

// The Excel-file test for every format read: ExcelReadable, ExcelNotReadable (no format
// read here) or ExcelCannotOpen (missing, a folder, or not readable).
int16_t SheetFileCode(const QString& fileName);

// Reads the whole file; a file that holds one sheet without a name (a worksheet of
// Excel 4.0 or older, a CSV file) names it after the file. False, with `error` saying
// why and `book` empty, when the file cannot be read or is not one of these formats.
bool ReadSheetFile(const QString& fileName, ExcelBook& book, SheetFormat& format, QString& error);

// What the import log says of a book: "BIFF3 worksheet, code page 32768",
// "BIFF8 workbook, code page 1200", "Excel 2007 workbook", "CSV file, code page 949".
QString SheetBookKind(const ExcelBook& book, SheetFormat format);
