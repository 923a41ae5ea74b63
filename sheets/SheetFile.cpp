#include "sheets/SheetFile.h"

#include "sheets/CompoundFile.h"
#include "sheets/CsvFile.h"
#include "sheets/XlsxReader.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A BOF record of any version: Excel 2.x to 4.0 files, and the bare streams some
// programs write for Excel 5 and later.
bool startsWithBof(const QByteArray& head)
{
    if (head.size() < 8)
        return false;
    const int id = quint8(head[0]) | quint8(head[1]) << 8;
    return id == 0x0009 || id == 0x0209 || id == 0x0409 || id == 0x0809;
}

} // namespace

SheetFormat SheetFormatOf(const QByteArray& head, const QString& fileName)
{
    if (ExcelFileCodeOf(head) == ExcelReadable || startsWithBof(head) || IsCompoundFile(head))
        return SheetFormat::Biff;
    if (IsZipArchive(head))
        return SheetFormat::Xlsx;
    if (QFileInfo(fileName).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return SheetFormat::Csv;
    return SheetFormat::Unknown;
}

int16_t SheetFileCode(const QString& fileName)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly))
        return ExcelCannotOpen;
    return SheetFormatOf(file.read(10), fileName) == SheetFormat::Unknown ? ExcelNotReadable : ExcelReadable;
}

bool ReadSheetFile(const QString& fileName, ExcelBook& book, SheetFormat& format, QString& error)
{
    book = ExcelBook();
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open the file: ") + file.errorString();
        return false;
    }
    const QByteArray data = file.readAll();
    const QString name = QFileInfo(fileName).completeBaseName();
    format = SheetFormatOf(data.left(10), fileName);
    switch (format) {
    case SheetFormat::Biff:
        return ReadXlsBook(data, name, book, error);
    case SheetFormat::Xlsx:
        return ReadXlsxBook(data, book, error);
    case SheetFormat::Csv:
        ReadCsvBook(data, name, book);
        error.clear();
        return true;
    case SheetFormat::Unknown:
        break;
    }
    error = QStringLiteral("not a spreadsheet file of a format read here");
    return false;
}

QString SheetBookKind(const ExcelBook& book, SheetFormat format)
{
    switch (format) {
    case SheetFormat::Biff:
        return QStringLiteral("BIFF%1 %2, code page %3")
            .arg(book.biffVersion)
            .arg(book.biffVersion >= 5 || book.sheets.size() > 1 ? QStringLiteral("workbook")
                                                                 : QStringLiteral("worksheet"))
            .arg(book.codePage);
    case SheetFormat::Xlsx:
        return QStringLiteral("Excel 2007 workbook");
    case SheetFormat::Csv:
        return QStringLiteral("CSV file, code page %1").arg(book.codePage);
    case SheetFormat::Unknown:
        break;
    }
    return {};
}
