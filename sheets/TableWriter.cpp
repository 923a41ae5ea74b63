#include "sheets/TableWriter.h"

#include <QDate>

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
    const QStringView number = QStringView(text).trimmed();
    value = number.toDouble(&ok);
    return ok && !number.isEmpty();
}

bool TableDateTime(const QString& text, int (&parts)[6])
{
    // "YYYY-MM-DD", "YYYY-MM-DD hh:mm" or "YYYY-MM-DD hh:mm:ss", read digit by digit (the
    // export writes one for each record). The editor and the companies window write their
    // times as "YYYY-MM-DD -hh:mm": the same date-time.
    QStringView t = QStringView(text).trimmed();
    QString joined;
    if (t.size() == 17 && t[10] == u' ' && t[11] == u'-') {
        joined = t.left(11).toString().append(t.mid(12));
        t = joined;
    }
    const qsizetype n = t.size();
    if (n != 10 && n != 16 && n != 19)
        return false;
    const auto number = [&t](qsizetype at, int digits, int& out) {
        out = 0;
        for (int i = 0; i < digits; ++i) {
            const char16_t c = t[at + i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            out = out * 10 + (c - u'0');
        }
        return true;
    };
    parts[3] = parts[4] = parts[5] = 0;
    if (t[4] != u'-' || t[7] != u'-' || !number(0, 4, parts[0]) || !number(5, 2, parts[1]) ||
        !number(8, 2, parts[2]))
        return false;
    if (n >= 16 && (t[10] != u' ' || t[13] != u':' || !number(11, 2, parts[3]) || !number(14, 2, parts[4])))
        return false;
    if (n == 19 && (t[16] != u':' || !number(17, 2, parts[5])))
        return false;
    return QDate(parts[0], parts[1], parts[2]).isValid() && parts[0] >= 1900 && parts[3] < 24 &&
           parts[4] < 60 && parts[5] < 60;
}
