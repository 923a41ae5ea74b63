#include "records/ExcelImportSql.h"

#include "db/Query.h"

#include <QDate>
#include <algorithm>
#include <limits>

namespace {

QString quoted(const QString& text)
{
    return QStringLiteral(",'") + EscapeSQL(text) + QLatin1Char('\'');
}

} // namespace

QString ProgramCodeSql(const QString& name)
{
    return QStringLiteral(" select code from part where name = '") + EscapeSQL(name) + QLatin1Char('\'');
}

int16_t GetProgramCode(const QString& name)
{
    RecordSetPtr rs;
    int16_t code = 51;
    if (OpenRecordset(rs, ProgramCodeSql(name)) > 0 && rs && !rs->Eof())
        code = int16_t(rs->Field(QStringLiteral("code")).toInt());
    CloseRecordset(rs);
    return code;
}

QString ListInsertSql(const QList<ImportRecordRow>& rows, const QString& userId, const QString& serverTime)
{
    QString values;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ImportRecordRow& row = rows[i];
        if (i > 0)
            values += QStringLiteral(")") + QStringLiteral(",(");
        values += QString::number(row.programCode) + quoted(row.formName) + quoted(row.title) +
                  quoted(row.errText) + quoted(userId) + quoted(serverTime);
    }
    return QStringLiteral("insert into aslist(appcode, formname, title, errtext,user_q, qusdate)  values( ") +
           values + QStringLiteral(");");
}

QString ServerDate(const QString& serverTime)
{
    const QDate date = QDate::fromString(serverTime.left(10), QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : serverTime;
}

long MaxFirstRecordNumber(long count)
{
    return long(std::numeric_limits<int32_t>::max()) - std::max(count, 1L) + 1;
}

std::optional<long> ParseFirstRecordNumber(const QString& text, long count)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    // With no records there is nothing to number, and the window's own 0 stands.
    const long first = digits.toLong();
    if (first < (count > 0 ? 1 : 0) || first > MaxFirstRecordNumber(count))
        return std::nullopt;
    return first;
}

QString CompanyInsertSql(long first, long count, const QString& userId, const QString& date)
{
    QString sql = QStringLiteral("INSERT INTO ascomp (`user`, `comname`, `writedate`, `ascode`)") +
                  QStringLiteral(" VALUES ");
    for (long seq = first; seq < first + count; ++seq) {
        sql += seq == first ? QStringLiteral(" (") : QStringLiteral(" ,(");
        sql += QStringLiteral(" '") + EscapeSQL(userId) + QLatin1Char('\'') + QStringLiteral(",'") +
               QStringLiteral("TAVEN") + QLatin1Char('\'') + quoted(date) + QLatin1Char(',') +
               QString::number(seq) + QLatin1Char(')');
    }
    return sql;
}
