#pragma once

#include "records/ListQuery.h"
#include "sheets/TableWriter.h"

#include <QDateTime>
#include <vector>

class FrmMain;
class MsgProgress;
class RecordSet;
class SpreadGrid;

// The export of the A/S list: every record that matches the filters (not only the 50
// the list shows), newest first as in the list, in the columns chosen for reports,
// to an Excel 2007 workbook, a CSV file or a PDF report.

// The list's statement without its limit: the rows the export writes, which it reads
// through ListExportQuickStatement (OpenListExportRecordset).
QString ListExportStatement(const ListFilters& filters);

// The list columns the report-column window keeps ticked for `grid` in the settings
// file of the window named `formName`: every shown column that is ticked (a column
// without a stored tick counts as ticked); every shown column when none is.
std::vector<int> ReportColumns(const QString& formName, const SpreadGrid* grid);

// Header, kind and width (from the grid) of each list column.
std::vector<TableColumn> ExportColumns(const SpreadGrid* grid, const std::vector<int>& cols);

// The filters in use, as the report's title names them; the program and the users by
// the names their lists show.
QStringList ExportConditions(const ListFilters& filters, const QString& programName,
                             const std::array<QString, 3>& userNames);
// The report's title line: the filters used and the time of the export.
QString ExportTitle(const QStringList& conditions, const QDateTime& at);

// The file's format by the save dialog's filter (0 .xlsx, 1 .csv, 2 .pdf), and the path
// with that format's extension added when it has another.
TableFormat ExportFormat(int filterIndex);
QString ExportPath(const QString& path, TableFormat format);
// The save dialog's filter list, in ExportFormat's order.
QString ExportFilter();

struct ExportOutcome
{
    qint64 written = 0;
    bool cancelled = false;
    QString error; // not empty when the file could not be written
};

// Writes every row of `rs` (from its current row) in `cols`; `progress` (may be null)
// sees the rows written and may cancel. A cancelled or failed export leaves no file.
ExportOutcome WriteListExport(RecordSet& rs, const SpreadGrid* grid, const std::vector<int>& cols,
                              TableFormat format, const QString& path, const QString& title,
                              MsgProgress* progress);

// The grid menu's command: asks for the file, runs the statement and writes the file,
// with a progress window for long exports; the floating message tells how many records
// were written.
void ExportList(FrmMain* form, SpreadGrid* spList, const QStringList& conditions);
