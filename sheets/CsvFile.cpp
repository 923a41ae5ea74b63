#include "sheets/CsvFile.h"

#include "common/Cp949.h"

#include <QStringDecoder>

namespace {

QString decodeCsv(const QByteArray& data, int& codePage)
{
    codePage = 65001;
    if (data.startsWith(kUtf8Bom))
        return QString::fromUtf8(data.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    codePage = 949;
    return cp949::decode(data);
}

} // namespace

void ReadCsvBook(const QByteArray& data, const QString& sheetName, ExcelBook& book)
{
    book = ExcelBook();
    const QString text = decodeCsv(data, book.codePage);
    ExcelSheet sheet;
    sheet.name = sheetName;
    int row = 0, col = 0;
    QString field;
    bool quoted = false, wasQuoted = false;
    const auto endField = [&] {
        if (!field.isEmpty())
            sheet.cells.push_back({row, col, ExcelCellKind::Text, 0, field});
        field.clear();
        wasQuoted = false;
        ++col;
    };
    const auto endRecord = [&] {
        endField();
        ++row;
        col = 0;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                field += c;
            else if (i + 1 < n && text[i + 1] == u'"')
                field += text[++i];
            else
                quoted = false;
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endRecord();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || col > 0 || quoted)
        endRecord();
    for (const ExcelCell& cell : sheet.cells) {
        sheet.rows = std::max(sheet.rows, cell.row + 1);
        sheet.cols = std::max(sheet.cols, cell.col + 1);
    }
    book.sheets.push_back(std::move(sheet));
}

QByteArray CsvLine(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        const QString& f = fields[i];
        const bool quote = f.contains(u',') || f.contains(u'"') || f.contains(u'\r') || f.contains(u'\n');
        if (quote)
            line += '"' + QString(f).replace(u'"', QStringLiteral("\"\"")).toUtf8() + '"';
        else
            line += f.toUtf8();
    }
    return line + "\r\n";
}
