#include "sheets/TableWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>
#include <xlsxwriter.h>

namespace {

// A new empty file beside `target` for the workbook to be written into. It is created as
// any new file of the user is (its mode from the umask and the folder), as the finished
// file keeps it.
QString reserveBeside(const QString& target, QString& error)
{
    const QString folder = QFileInfo(target).absolutePath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        QFile file(folder + QStringLiteral("/.export-%1.xlsx")
                                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists()) {
            error = file.errorString();
            return {};
        }
    }
    error = QStringLiteral("no free file name in %1").arg(folder);
    return {};
}

class XlsxWriter : public TableWriter
{
public:
    ~XlsxWriter() override
    {
        if (m_book) // never committed: the workbook goes, and its file with it
            workbook_close(m_book);
        if (!m_temp.isEmpty())
            QFile::remove(m_temp);
    }

    bool open(const QString& path, const std::vector<TableColumn>& columns, const QString&, qint64,
              QString& error) override
    {
        m_path = path;
        m_columns = columns;
        // A name of its own beside the target, so that the finished file only moves.
        m_temp = reserveBeside(path, error);
        if (m_temp.isEmpty())
            return false;
        m_tmpDir = QDir::tempPath().toLocal8Bit();
        lxw_workbook_options options{LXW_TRUE, m_tmpDir.data(), LXW_TRUE};
        m_book = workbook_new_opt(QFile::encodeName(m_temp).constData(), &options);
        m_sheet = m_book ? workbook_add_worksheet(m_book, "A-S") : nullptr;
        if (!m_sheet) {
            error = QStringLiteral("the workbook cannot be started");
            return false;
        }
        m_bold = workbook_add_format(m_book);
        format_set_bold(m_bold);
        m_date = workbook_add_format(m_book);
        format_set_num_format(m_date, "yyyy-mm-dd hh:mm");
        for (size_t c = 0; c < columns.size(); ++c) {
            const lxw_col_t col = lxw_col_t(c);
            worksheet_set_column(m_sheet, col, col, columns[c].width,
                                 columns[c].kind == ColumnKind::DateTime ? m_date : nullptr);
            worksheet_write_string(m_sheet, 0, col, columns[c].header.toUtf8().constData(), m_bold);
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
        return true;
    }

    void row(const QStringList& values) override
    {
        ++m_row;
        for (size_t c = 0; c < m_columns.size() && c < size_t(values.size()); ++c) {
            const QString& text = values[qsizetype(c)];
            if (text.isEmpty())
                continue;
            const lxw_col_t col = lxw_col_t(c);
            double number;
            int p[6];
            if (m_columns[c].kind == ColumnKind::Number && TableNumber(text, number)) {
                worksheet_write_number(m_sheet, m_row, col, number, nullptr);
            } else if (m_columns[c].kind == ColumnKind::DateTime && TableDateTime(text, p)) {
                lxw_datetime at{p[0], p[1], p[2], p[3], p[4], double(p[5])};
                worksheet_write_datetime(m_sheet, m_row, col, &at, m_date);
            } else {
                worksheet_write_string(m_sheet, m_row, col, text.toUtf8().constData(), nullptr);
            }
        }
    }

    bool commit(QString& error) override
    {
        worksheet_autofilter(m_sheet, 0, 0, m_row, lxw_col_t(m_columns.empty() ? 0 : m_columns.size() - 1));
        const lxw_error result = workbook_close(m_book);
        m_book = nullptr;
        if (result != LXW_NO_ERROR) {
            error = QString::fromUtf8(lxw_strerror(result));
            return false;
        }
        if (std::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_path).constData()) != 0) {
            error = QStringLiteral("cannot write %1").arg(m_path);
            return false;
        }
        m_temp.clear();
        return true;
    }

private:
    QString m_path;
    QString m_temp;
    QByteArray m_tmpDir;
    std::vector<TableColumn> m_columns;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_bold = nullptr;
    lxw_format* m_date = nullptr;
    lxw_row_t m_row = 0;
};

} // namespace

std::unique_ptr<TableWriter> MakeXlsxWriter()
{
    return std::make_unique<XlsxWriter>();
}
