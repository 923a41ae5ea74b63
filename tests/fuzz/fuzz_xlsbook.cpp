// The reader of Excel 2.x to 2003 files (ReadXlsBook) on any bytes: a workbook it accepts
// holds each position of a sheet once, in order, inside the sheet's size, and every
// number cell has its text.

#include "FuzzCheck.h"
#include "sheets/ExcelBiff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ExcelBook book;
    QString error;
    if (!ReadXlsBook(FuzzBytes(data, size), QStringLiteral("Sheet1"), book, error)) {
        FUZZ_CHECK(!error.isEmpty() && book.sheets.empty());
        return 0;
    }
    for (const ExcelSheet& sheet : book.sheets)
        for (size_t i = 0; i < sheet.cells.size(); ++i) {
            const ExcelCell& cell = sheet.cells[i];
            FUZZ_CHECK(cell.row >= 0 && cell.row < sheet.rows && cell.col >= 0 && cell.col < sheet.cols);
            if (i > 0) {
                const ExcelCell& before = sheet.cells[i - 1];
                FUZZ_CHECK(before.row < cell.row || (before.row == cell.row && before.col < cell.col));
            }
            if (cell.kind == ExcelCellKind::Number)
                FUZZ_CHECK(!cell.text.isEmpty());
        }
    return 0;
}
