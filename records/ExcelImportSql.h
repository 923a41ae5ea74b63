#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

// The statements of the Excel import window: one multi-row INSERT creating an A/S
// record per sheet row, and one attaching the company "TAVEN" to each of those
// records. Every text value is escaped before it is quoted.

struct ImportRecordRow
{
    int programCode = 0;
    QString formName;
    QString title;
    QString errText;
};

// The code of the program that a sheet row names.
QString ProgramCodeSql(const QString& name);
// The program's code; 51 when no program has that name.
int16_t GetProgramCode(const QString& name);

// "insert into aslist(...)  values( " + rows + ");"; the asker is `userId` and the
// request time `serverTime` for every row.
QString ListInsertSql(const QList<ImportRecordRow>& rows, const QString& userId, const QString& serverTime);

// The date of a server time "YYYY-MM-DD hh:mm:ss" as "YYYY-MM-DD"; a text that is no
// such time is given back as it is.
QString ServerDate(const QString& serverTime);

// The first record number typed by the operator: a whole number from 1 (0 when there
// are no records) to the highest that leaves room for `count` records (record numbers
// are 32-bit); nothing otherwise.
std::optional<long> ParseFirstRecordNumber(const QString& text, long count);
// The largest first record number for `count` records.
long MaxFirstRecordNumber(long count);

// One company row for each record number first ... first + count - 1.
QString CompanyInsertSql(long first, long count, const QString& userId, const QString& date);
