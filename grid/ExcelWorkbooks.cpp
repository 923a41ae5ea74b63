#include "grid/ExcelWorkbooks.h"

#include "grid/CellStyle.h"
#include "grid/SpreadGrid.h"
#include "sheets/SheetFile.h"

#include <QDateTime>
#include <QFile>
#include <cfloat>

namespace {

void appendLog(const QString& logFileName, bool replace, const QStringList& lines)
{
    if (logFileName.isEmpty())
        return;
    QFile log(logFileName);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Text |
                  (replace ? QIODevice::Truncate : QIODevice::Append)))
        return; // the log only explains; a failing log changes nothing
    log.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
}

} // namespace

bool ExcelWorkbooks::GetExcelSheetList(const QString& fileName, QStringList& names, int16_t& count,
                                       const QString& logFileName, int16_t& handle, bool replace)
{
    QStringList log{QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                    QLatin1Char(' ') + fileName};
    QString error;
    ExcelBook book;
    SheetFormat format = SheetFormat::Unknown;
    if (m_books.size() >= size_t(INT16_MAX))
        error = QStringLiteral("too many workbooks open");
    else
        ReadSheetFile(fileName, book, format, error);
    if (!error.isEmpty()) {
        log << QStringLiteral("failed: ") + error;
        appendLog(logFileName, replace, log);
        return false;
    }

    names.clear();
    for (const ExcelSheet& sheet : book.sheets) {
        names << sheet.name;
        log << QStringLiteral("%1: %2 (%3 rows, %4 columns, %5 cells)")
                   .arg(SheetBookKind(book, format), sheet.name)
                   .arg(sheet.rows)
                   .arg(sheet.cols)
                   .arg(sheet.cells.size());
    }
    count = int16_t(names.size());
    handle = int16_t(m_books.size());
    m_books.push_back(std::move(book));
    appendLog(logFileName, replace, log);
    return true;
}

const ExcelSheet* ExcelWorkbooks::Sheet(int16_t handle, int index) const
{
    if (handle < 0 || size_t(handle) >= m_books.size())
        return nullptr;
    const std::vector<ExcelSheet>& sheets = m_books[size_t(handle)].sheets;
    return index >= 0 && size_t(index) < sheets.size() ? &sheets[size_t(index)] : nullptr;
}

bool ExcelWorkbooks::ImportExcelSheet(SpreadGrid& grid, int16_t handle, int index) const
{
    const ExcelSheet* sheet = Sheet(handle, index);
    if (!sheet)
        return false;
    ::ImportExcelSheet(grid, *sheet);
    return true;
}

void ImportExcelSheet(SpreadGrid& grid, const ExcelSheet& sheet)
{
    const bool redraw = grid.ReDraw();
    grid.SetReDraw(false);
    grid.SetMaxRows(0);
    grid.SetMaxCols(sheet.cols);
    grid.SetMaxRows(sheet.rows);
    grid.SetCellType(-1, -1, CellTypeEdit);
    grid.SetTypeNumberMax(-1, -1, DBL_MAX);
    grid.SetTypeNumberMin(-1, -1, -DBL_MAX);
    grid.SetTypeNumberShowSep(-1, -1, false);
    for (const ExcelCell& cell : sheet.cells) {
        const int col = cell.col + 1, row = cell.row + 1;
        if (cell.kind == ExcelCellKind::Number) {
            const qsizetype point = cell.text.indexOf(u'.');
            grid.SetCellType(col, row, CellTypeNumber);
            grid.SetTypeNumberDecPlaces(col, row, point < 0 ? 0 : int(cell.text.size() - point - 1));
        }
        grid.SetText(col, row, cell.text);
    }
    grid.SetReDraw(redraw);
}
