// The old-format Excel reader (sheets/ExcelBiff.h) on any bytes: a worksheet it accepts
// holds each position once, in order, inside the sheet's size.

#include "FuzzCheck.h"
#include "sheets/ExcelBiff.h"

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
    const ExcelSheet& sheet = book.sheets.front();
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
