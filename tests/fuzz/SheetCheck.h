#pragma once

#include "FuzzCheck.h"
#include "sheets/ExcelBiff.h"

// What every sheet a workbook reader returns promises: cells inside the sheet's size, in
// row-major order without repeats, and a text for every number.
inline void CheckSheetCells(const ExcelSheet& sheet)
{
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
}
