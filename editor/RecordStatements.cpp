#include "editor/RecordStatements.h"

#include "db/Query.h"

namespace {

// ",'" + escaped text + "'"
QString quoted(const QString& text)
{
    return QStringLiteral(",'") + EscapeSQL(text) + QLatin1Char('\'');
}

QString shotAssignments(const ShotTags& shots)
{
    QString sql;
    for (int i = 0; i < kShotSlots; ++i)
        sql += QStringLiteral("%1 sshot%2 = '").arg(i == 0 ? QString() : QStringLiteral(",")).arg(i + 1) +
               EscapeSQL(shots[i]) + QLatin1Char('\'');
    return sql;
}

QString ftpText(const QDate& date, const QString& separator, const QString& time)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + separator +
           (time.isEmpty() ? QStringLiteral("00:00") : time);
}

} // namespace

QString RecordTextsSql(long seq)
{
    return QStringLiteral("SELECT formname, title ,errtext ,solution FROM aslist WHERE seq = ") +
           QString::number(seq);
}

QString RecordShotsSql(long seq)
{
    return QStringLiteral("SELECT sshot1,sshot2,sshot3,sshot4,sshot5,sshot6,sshot7,sshot8,sshot9,sshot10"
                          " FROM aslist WHERE seq = ") +
           QString::number(seq);
}

QString ChargeNameSql(long code)
{
    return QStringLiteral(
               " SELECT u.name   FROM part  AS p , user AS u WHERE u.id = p.chargeid  AND p.code = ") +
           QString::number(code);
}

QString MaxSeqSql()
{
    return QStringLiteral("SELECT MAX(seq) FROM aslist");
}

QString InsertRecordSql(const RecordValues& v)
{
    QString sql = QStringLiteral("INSERT INTO aslist (appcode, formname, title, errtext , sshot1, sshot2,"
                                 " sshot3, sshot4, sshot5, sshot6, sshot7, sshot8, sshot9, sshot10, user_q,"
                                 " user_a ,qusdate, ftpdate, solution, status) VALUES ( '") +
                  QString::number(v.programCode) + QLatin1Char('\'') + quoted(v.formName.trimmed()) +
                  quoted(v.title.trimmed()) + quoted(v.errText.trimmed());
    for (const QString& shot : v.shots)
        sql += quoted(shot);
    return sql + quoted(v.askId) + quoted(v.ansId) + quoted(v.qusDate) + quoted(v.ftpDate) +
           quoted(v.solution.trimmed()) + quoted(v.status) + QLatin1Char(')');
}

QString InsertFirstCompanySql(const QString& registrant, const QString& company, const QString& writeDate,
                              long seq)
{
    return QStringLiteral("INSERT INTO ascomp (`user`, `comname`, `writedate`, `ascode`) VALUES ( '") +
           EscapeSQL(registrant) + QLatin1Char('\'') + quoted(company) + quoted(writeDate) +
           quoted(QString::number(seq)) + QLatin1Char(')');
}

QString UpdateShotPathsSql(const ShotTags& shots, long seq)
{
    return QStringLiteral(" UPDATE aslist SET ") + shotAssignments(shots) + QStringLiteral(" WHERE seq = ") +
           QString::number(seq);
}

QString UpdateRecordSql(const RecordValues& v, long seq)
{
    return QStringLiteral("UPDATE aslist SET appcode =  '") + QString::number(v.programCode) +
           QStringLiteral("', formname = '") + EscapeSQL(v.formName) + QStringLiteral("', title = '") +
           EscapeSQL(v.title) + QStringLiteral("', errtext = '") + EscapeSQL(v.errText) +
           QStringLiteral("',") + shotAssignments(v.shots) + QStringLiteral(", user_q = '") +
           EscapeSQL(v.askId) + QStringLiteral("', user_a = '") + EscapeSQL(v.ansId) +
           QStringLiteral("', qusdate = '") + EscapeSQL(v.qusDate) + QStringLiteral("', ftpdate = '") +
           EscapeSQL(v.ftpDate) + QStringLiteral("', solution = '") + EscapeSQL(v.solution) +
           QStringLiteral("', status =  '") + EscapeSQL(v.status) + QStringLiteral("' WHERE seq = ") +
           QString::number(seq);
}

QString UpdateCompanyNameSql(const QString& company, long companySeq)
{
    return QStringLiteral(" UPDATE ascomp SET comname =  '") + EscapeSQL(company) +
           QStringLiteral("' WHERE seq = ") + QString::number(companySeq);
}

QString NewFtpText(const QDate& date, const QString& time)
{
    return ftpText(date, QStringLiteral(" "), time);
}

QString ChangedFtpText(const QDate& date, const QString& time)
{
    return ftpText(date, QStringLiteral(" -"), time);
}
