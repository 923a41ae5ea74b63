#include "sheets/TableWriter.h"

#include <QDate>
#include <QRegularExpression>

std::unique_ptr<TableWriter> MakeXlsxWriter();
std::unique_ptr<TableWriter> MakeCsvWriter();
std::unique_ptr<TableWriter> MakePdfWriter();

std::unique_ptr<TableWriter> MakeTableWriter(TableFormat format)
{
    switch (format) {
    case TableFormat::Xlsx:
        return MakeXlsxWriter();
    case TableFormat::Csv:
        return MakeCsvWriter();
    case TableFormat::Pdf:
        return MakePdfWriter();
    }
    return nullptr;
}

bool TableNumber(const QString& text, double& value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && !text.trimmed().isEmpty();
}

bool TableDateTime(const QString& text, int (&parts)[6])
{
    static const QRegularExpression shape(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?: (\\d{2}):(\\d{2})(?::(\\d{2}))?)?$"));
    const QRegularExpressionMatch m = shape.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    for (int i = 0; i < 6; ++i)
        parts[i] = m.captured(i + 1).toInt();
    return QDate(parts[0], parts[1], parts[2]).isValid() && parts[0] >= 1900 && parts[3] < 24 &&
           parts[4] < 60 && parts[5] < 60;
}
