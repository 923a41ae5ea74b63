// The reader of Excel 2.x to 2003 files (ReadXlsBook) on any bytes: a workbook it accepts
// holds each position of a sheet once, in order, inside the sheet's size, and every
// number cell has its text.

#include "SheetCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ExcelBook book;
    QString error;
    if (!ReadXlsBook(FuzzBytes(data, size), QStringLiteral("Sheet1"), book, error)) {
        FUZZ_CHECK(!error.isEmpty() && book.sheets.empty());
        return 0;
    }
    for (const ExcelSheet& sheet : book.sheets)
        CheckSheetCells(sheet);
    return 0;
}
