#pragma once

#include "sheets/ExcelBiff.h"

#include <QStringList>
#include <cstdint>
#include <vector>

class SpreadGrid;

// The grid's workbook facility: the sheet list and the sheet import of the spreadsheet
// files that sheets/SheetFile.h reads.

// Workbooks opened by the sheet list stay held under their handle as long as this
// object lives.
class ExcelWorkbooks
{
public:
    // Reads the workbook and gives its sheet names, their count and its handle.
    // The log file gets what was read or why it failed (`replace`: a new log,
    // otherwise appended). On failure the handle stays as it was.
    bool GetExcelSheetList(const QString& fileName, QStringList& names, int16_t& count,
                           const QString& logFileName, int16_t& handle, bool replace);
    // The sheet, or nullptr for an unknown handle or index.
    const ExcelSheet* Sheet(int16_t handle, int index) const;
    // Fills the grid with one sheet (see ImportExcelSheet below).
    bool ImportExcelSheet(SpreadGrid& grid, int16_t handle, int index) const;

private:
    std::vector<ExcelBook> m_books;
};

// Sizes the grid to the sheet and puts every cell into it: numbers as number cells
// (CellTypeNumber, their decimals as written, no separators), the rest as text.
void ImportExcelSheet(SpreadGrid& grid, const ExcelSheet& sheet);
