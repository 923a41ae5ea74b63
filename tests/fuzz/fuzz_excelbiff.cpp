// The old-format Excel reader (sheets/ExcelBiff.h) on any bytes: a worksheet it accepts
// holds each position once, in order, inside the sheet's size.

#include "SheetCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const int16_t code = ExcelFileCodeOf(bytes.left(10));
    ExcelBook book;
    QString error;
    if (!ReadExcelBook(bytes, QStringLiteral("Sheet1"), book, error)) {
        FUZZ_CHECK(!error.isEmpty() && book.sheets.empty());
        return 0;
    }
    FUZZ_CHECK(code == ExcelReadable);
    FUZZ_CHECK(book.biffVersion == 2 || book.biffVersion == 3);
    FUZZ_CHECK(book.sheets.size() == 1);
    CheckSheetCells(book.sheets.front());
    return 0;
}
