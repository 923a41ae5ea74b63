#pragma once

#include "sheets/ExcelBiff.h"

// Excel 2007 and later workbooks (.xlsx): a zip archive of XML parts. Every worksheet
// is read in the workbook's order: shared and inline strings, numbers, Booleans,
// errors and formulas' last results; numbers whose format is a date format become
// dates, as ExcelDateText writes them.

// True when the data starts like a zip archive.
bool IsZipArchive(const QByteArray& head);

// Returns false, with `error` saying why and `book` empty, for data that is no such
// workbook or is damaged.
bool ReadXlsxBook(const QByteArray& data, ExcelBook& book, QString& error);
