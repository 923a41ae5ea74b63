#include "records/CompanyStatements.h"

#include "db/Query.h"

namespace {

QString quoted(const QString& text)
{
    return QStringLiteral("'") + EscapeSQL(text) + QStringLiteral("'");
}

} // namespace

QString CompanyWriteDate(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd -HH:mm"));
}

QString CompanyUserNameSql(const QString& userId)
{
    return QStringLiteral(" SELECT name FROM user WHERE id = ") + quoted(userId);
}

QString CompanyDuplicateSql(const QString& comname, long ascode, long exceptSeq)
{
    QString sql = QStringLiteral("SELECT seq FROM ascomp  ") + QStringLiteral(" WHERE comname =") +
                  quoted(comname) + QStringLiteral(" AND ascode = ") + QString::number(ascode);
    if (exceptSeq > 0)
        sql += QStringLiteral(" AND seq <> ") + QString::number(exceptSeq);
    return sql;
}

QString InsertCompanySql(const QString& userId, const QString& comname, const QString& writeDate,
                         const QString& memo, long ascode)
{
    return QStringLiteral("INSERT INTO ascomp (`user`, `comname`, `writedate`, `memo`, `ascode`)") +
           QStringLiteral(" VALUES (") + QStringLiteral(" ") + quoted(userId) + QStringLiteral(",") +
           quoted(comname) + QStringLiteral(",") + quoted(writeDate) + QStringLiteral(",") + quoted(memo) +
           QStringLiteral(",'") + QString::number(ascode) + QStringLiteral("'") + QStringLiteral(")");
}

QString UpdateCompanySql(const QString& comname, const QString& memo, long seq)
{
    return QStringLiteral(" UPDATE ascomp  SET") + QStringLiteral(" comname =  ") + quoted(comname) +
           QStringLiteral(" , memo =  ") + quoted(memo) + QStringLiteral(" WHERE  seq = ") +
           QString::number(seq);
}

QString CompanyRowSql(long seq)
{
    return QStringLiteral(" SELECT user,  writedate , memo  FROM ascomp") + QStringLiteral(" WHERE seq = ") +
           QString::number(seq);
}

QString CompanyReloadSql(long ascode)
{
    return QStringLiteral(" SELECT c.seq,u.name,c.comname, c.user ") +
           QStringLiteral(" FROM ascomp AS c , user as u") + QStringLiteral(" WHERE c.user = u.id") +
           QStringLiteral(" AND c.ascode =  ") + QString::number(ascode) +
           QStringLiteral(" ORDER BY c.ascode");
}
