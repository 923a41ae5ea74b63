#include "sheets/CsvFile.h"
#include "sheets/TableWriter.h"

#include <QSaveFile>

namespace {

class CsvWriter : public TableWriter
{
public:
    bool open(const QString& path, const std::vector<TableColumn>& columns, const QString&, qint64,
              QString& error) override
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly)) {
            error = m_file.errorString();
            return false;
        }
        QStringList headers;
        for (const TableColumn& c : columns)
            headers << c.header;
        m_file.write(kUtf8Bom);
        m_file.write(CsvLine(headers));
        return true;
    }
    void row(const QStringList& values) override { m_file.write(CsvLine(values)); }
    bool commit(QString& error) override
    {
        if (m_file.commit())
            return true;
        error = m_file.errorString();
        return false;
    }

private:
    QSaveFile m_file; // dropped uncommitted, it removes its temporary file
};

} // namespace

std::unique_ptr<TableWriter> MakeCsvWriter()
{
    return std::make_unique<CsvWriter>();
}
