#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Writers of a table (a header row and data rows) to a spreadsheet or report file:
// Excel 2007 (.xlsx), CSV (UTF-8 with a byte-order mark) or PDF. Nothing appears at the
// file's path until the table is committed whole; a writer dropped before that leaves
// no file behind.

enum class ColumnKind
{
    Text,
    Number,   // a number cell; a text that is no number stays text
    DateTime, // "YYYY-MM-DD hh:mm[:ss]", "YYYY-MM-DD -hh:mm" or "YYYY-MM-DD" as a date-time cell
};

struct TableColumn
{
    QString header;
    ColumnKind kind = ColumnKind::Text;
    double width = 10; // in average character widths, as the grid measures them
};

enum class TableFormat
{
    Xlsx,
    Csv,
    Pdf
};

class TableWriter
{
public:
    virtual ~TableWriter() = default;
    // Starts the table. `title` heads a report (PDF); `rows`: how many rows will follow.
    virtual bool open(const QString& path, const std::vector<TableColumn>& columns, const QString& title,
                      qint64 rows, QString& error) = 0;
    virtual void row(const QStringList& values) = 0;
    // Puts the finished file at the path, replacing any file there.
    virtual bool commit(QString& error) = 0;
};

std::unique_ptr<TableWriter> MakeTableWriter(TableFormat format);

// The numbers and date-times of the cells as the writers read them.
bool TableNumber(const QString& text, double& value);
bool TableDateTime(const QString& text, int (&parts)[6]);
