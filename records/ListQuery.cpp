#include "records/ListQuery.h"

#include "db/Query.h"

namespace {

// The columns of a list row around its count of companies. The search and the
// single-record read have always spaced the middle piece differently, and the server's
// log shows each as it is.
const char* const kColumnsHead = " SELECT a.seq, a.appcode, a.formname, a.title, a.errtext ";
const char* const kListColumnsMiddle = ", user_q, user_a, qusdate, ftpdate, solution, status , ";
const char* const kRecordColumnsMiddle = ", user_q, user_a, qusdate,  ftpdate, solution, status,";
const char* const kColumnsTail =
    " AS count, p.name AS pname , p.code, p.groupid, p.chargeid, u.name AS uname, u.id AS id1"
    ", u2.name AS uname2, u2.id AS id2, u3.id AS id3 ";

QString columns(const char* middle, const char* count = "COUNT(c.seq)")
{
    return QLatin1String(kColumnsHead) + QLatin1String(middle) + QLatin1String(count) +
           QLatin1String(kColumnsTail);
}

// Every record keeps a company, so the companies stay inner-joined; a missing user
// must not hide a record.
const char* const kListTables = " FROM aslist AS a"
                                " JOIN part AS p ON a.appcode = p.code"
                                " JOIN ascomp AS c ON c.ascode = a.seq"
                                " LEFT JOIN user AS u ON a.user_q = u.id"
                                " LEFT JOIN user AS u2 ON a.user_a = u2.id"
                                " LEFT JOIN user AS u3 ON p.chargeid = u3.id";

const char* const kListGroupBy = " GROUP BY a.seq, a.appcode, a.formname, a.title, a.errtext "
                                 ", user_q, user_a, qusdate, ftpdate, solution, status"
                                 ", p.name, p.code, p.groupid, p.chargeid, u.name, u.id"
                                 ", u2.name, u2.id, u3.id";

const char* const kUserAlias[3] = {"u", "u2", "u3"};
// The column each user alias is joined on.
const char* const kUserJoin[3] = {"a.user_q", "a.user_a", "p.chargeid"};

// The typed text is found as it stands: its own "%", "_" and "\\" are no wildcards.
QString like(const QString& column, const QString& text)
{
    return column + QStringLiteral(" LIKE '%") + EscapeLike(text) + QStringLiteral("%'");
}

// " AND column IN (numbers)", never true for no numbers. Lists of 900 at most, joined
// with OR: MariaDB turns a list of 1000 or more into a derived table and would then
// read the whole table instead of the few rows.
QString inList(const char* column, const QList<qint64>& seqs)
{
    QStringList lists;
    for (qsizetype i = 0; i < seqs.size(); i += 900) {
        QStringList numbers;
        for (qint64 seq : seqs.mid(i, 900))
            numbers << QString::number(seq);
        lists << QStringLiteral("%1 IN (").arg(QLatin1String(column)) + numbers.join(QLatin1Char(',')) +
                     QLatin1Char(')');
    }
    if (lists.isEmpty())
        lists << QStringLiteral("%1 IN (NULL)").arg(QLatin1String(column));
    return QStringLiteral(" AND (") + lists.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

QString quoted(const QString& text)
{
    return QLatin1Char('\'') + EscapeSQL(text) + QLatin1Char('\'');
}

// The ids a user alias must have: the logged-in user's for "mine", then the chosen key.
QStringList userIds(const ListFilters& f, int alias)
{
    QStringList ids;
    if (f.showMine[alias])
        ids << f.userId;
    if (f.userKey[alias] != QLatin1String(kAnyUserKey))
        ids << f.userKey[alias];
    return ids;
}

QString userJoin(int alias)
{
    return QStringLiteral(" LEFT JOIN user AS %1 ON %2 = %1.id")
        .arg(QLatin1String(kUserAlias[alias]), QLatin1String(kUserJoin[alias]));
}

QString userCondition(int alias, const QString& id)
{
    return QStringLiteral(" AND %1.id = ").arg(QLatin1String(kUserAlias[alias])) + quoted(id);
}

// The conditions on the record and its program, in the order the list has always
// appended them: period, program, screen name, texts, company name, status.
QString recordConditions(const ListFilters& f, const QString& companyCondition)
{
    QString sql;
    if (f.term)
        sql += QStringLiteral(" AND qusdate BETWEEN '") + f.termFrom.toString(QStringLiteral("yyyy-MM-dd")) +
               QStringLiteral(" 00:00' AND '") + f.termTo.toString(QStringLiteral("yyyy-MM-dd")) +
               QStringLiteral(" 23:59'");
    if (f.programIndex > 1)
        sql += QStringLiteral(" AND code = ") + QString::number(f.programCode);
    else if (f.programIndex == 1)
        sql += QStringLiteral(" AND p.groupid = 2");
    if (!f.findMemo[0].isEmpty())
        sql += QStringLiteral(" AND ") + like(QStringLiteral("a.formname"), f.findMemo[0]);
    if (!f.findMemo[1].isEmpty())
        sql += QStringLiteral(" AND (") + like(QStringLiteral("a.errtext"), f.findMemo[1]) +
               QStringLiteral(" OR ") + like(QStringLiteral("a.title"), f.findMemo[1]) +
               QStringLiteral(" OR ") + like(QStringLiteral("a.solution"), f.findMemo[1]) +
               QStringLiteral(")");
    sql += companyCondition;
    if (f.statusIndex >= 1)
        sql += QStringLiteral(" AND ") + like(QStringLiteral("a.status"), f.statusText);
    return sql;
}

QString companyCondition(const ListFilters& f)
{
    return f.findMemo[2].isEmpty()
               ? QString()
               : QStringLiteral(" AND ") + like(QStringLiteral("c.comname"), f.findMemo[2]);
}

QString listStatement(const ListFilters& f, const QString& restriction)
{
    QString sql = columns(kListColumnsMiddle) + QLatin1String(kListTables) + QStringLiteral(" WHERE 1=1 ");
    for (int i = 0; i < 3; ++i)
        if (f.showMine[i])
            sql += userCondition(i, f.userId);
    sql += recordConditions(f, companyCondition(f));
    for (int i = 0; i < 3; ++i)
        if (f.userKey[i] != QLatin1String(kAnyUserKey))
            sql += userCondition(i, f.userKey[i]);
    return sql + restriction + QLatin1String(kListGroupBy) +
           QStringLiteral(" ORDER BY qusdate DESC , binary p.name, a.seq ") +
           QStringLiteral(" LIMIT %1").arg(kListLimit);
}

} // namespace

QStringList ListStatusEntries()
{
    return {QString(),
            QStringLiteral("요청대기"),
            QStringLiteral("장기예정(2주이상지체)"),
            QStringLiteral("단기예정(1~2주이내)"),
            QStringLiteral("배포완료"),
            QStringLiteral("해결불가(원인불명)"),
            QStringLiteral("환경문제")};
}

QString ListStatement(const ListFilters& f)
{
    return listStatement(f, QString());
}

QString ListWalkStatement(const ListFilters& f, const SeqRestriction& only)
{
    // The server walks aslist newest first (STRAIGHT_JOIN keeps it the first table), by
    // the index of the registration time or of the program, asker or answerer chosen, and
    // stops at the last row asked for. A user filter therefore also names the record's
    // own column. Users and companies are looked up per record with counts: the server
    // would turn an EXISTS into one pass over all companies before the walk.
    // Restricted, it reads the few records by number and sorts them instead.
    QString sql = QStringLiteral(" SELECT STRAIGHT_JOIN a.seq, a.qusdate FROM aslist AS a") +
                  (only ? QStringLiteral(" FORCE INDEX (PRIMARY)") : QString()) +
                  QStringLiteral(" JOIN part AS p ON a.appcode = p.code WHERE 1=1 ");
    if (only)
        sql += inList("a.seq", *only);
    QString userChecks;
    for (int i = 0; i < 3; ++i) {
        const QStringList ids = userIds(f, i);
        if (ids.isEmpty())
            continue;
        const QString alias = QLatin1String(kUserAlias[i]);
        userChecks += QStringLiteral(" AND (SELECT COUNT(*) FROM user AS %1 WHERE %1.id = %2")
                          .arg(alias, QLatin1String(kUserJoin[i]));
        for (const QString& id : ids) {
            sql += QStringLiteral(" AND %1 = ").arg(QLatin1String(kUserJoin[i])) + quoted(id);
            userChecks += userCondition(i, id);
        }
        userChecks += QStringLiteral(") > 0");
    }
    sql += recordConditions(f, QString()) + userChecks +
           QStringLiteral(" AND (SELECT COUNT(*) FROM ascomp AS c WHERE c.ascode = a.seq") +
           companyCondition(f) + QStringLiteral(") > 0");
    return sql + QStringLiteral(" ORDER BY a.qusdate DESC LIMIT %1").arg(kListLimit);
}

QString ListRowsStatement(const ListFilters& f, const QList<qint64>& seqs)
{
    QStringList numbers;
    for (qint64 seq : seqs)
        numbers << QString::number(seq);
    QString restriction = QStringLiteral("a.seq IN (") + numbers.join(QLatin1Char(',')) + QLatin1Char(')');
    if (seqs.size() >= kListLimit)
        restriction = QLatin1Char('(') + restriction +
                      QStringLiteral(" OR a.qusdate <=> (SELECT qusdate FROM aslist WHERE seq = ") +
                      numbers.last() + QStringLiteral("))");
    return listStatement(f, QStringLiteral(" AND ") + restriction);
}

QString ListExportQuickStatement(const ListFilters& f, const SeqRestriction& only)
{
    // The keys first: number, time and program name of each matching record with its count
    // of companies (counted from the company index alone). "+ 0" keeps MariaDB from counting
    // them record by record (its lateral derived table); the limit keeps the keys a table of
    // their own, which the server sorts before it reads each record whole by its number.
    QString keys = QStringLiteral(" SELECT a.seq AS kseq, a.qusdate AS kdate, p.name AS kname, c.count"
                                  " FROM aslist AS a JOIN part AS p ON a.appcode = p.code"
                                  " JOIN (SELECT c.ascode + 0 AS ascode, COUNT(c.seq) AS count"
                                  " FROM ascomp AS c WHERE 1=1") +
                   (only ? inList("c.ascode", *only) : QString()) + companyCondition(f) +
                   QStringLiteral(" GROUP BY c.ascode) AS c ON c.ascode = a.seq");
    QString conditions = QStringLiteral(" WHERE 1=1 ");
    if (only)
        conditions += inList("a.seq", *only);
    for (int i = 0; i < 3; ++i) {
        if (!userIds(f, i).isEmpty())
            keys += userJoin(i);
        if (f.showMine[i])
            conditions += userCondition(i, f.userId);
    }
    conditions += recordConditions(f, QString());
    for (int i = 0; i < 3; ++i)
        if (f.userKey[i] != QLatin1String(kAnyUserKey))
            conditions += userCondition(i, f.userKey[i]);
    return columns(kListColumnsMiddle, "k.count") + QStringLiteral(" FROM (") + keys + conditions +
           QStringLiteral(" LIMIT 18446744073709551615) AS k STRAIGHT_JOIN aslist AS a ON a.seq = k.kseq"
                          " JOIN part AS p ON a.appcode = p.code") +
           userJoin(0) + userJoin(1) + userJoin(2) +
           QStringLiteral(" ORDER BY k.kdate DESC , binary k.kname, k.kseq");
}

QString ListRecordStatement(long seq)
{
    return columns(kRecordColumnsMiddle) + QLatin1String(kListTables) + QStringLiteral(" WHERE a.seq = ") +
           QString::number(seq) + QLatin1String(kListGroupBy);
}

QString DetailStatement(long seq)
{
    return QStringLiteral(
               " SELECT a.errtext, a.solution , a.sshot1, a.sshot2, a.sshot3, a.sshot4, a.sshot5, "
               "a.sshot6, a.sshot7, a.sshot8, a.sshot9, a.sshot10"
               " , c.seq AS CSEQ, c.comname, c.user ,u.name"
               " FROM (aslist AS a  LEFT JOIN ascomp AS c ON a.seq = c.ascode) LEFT  JOIN user as u ON "
               "u.id = c.user"
               " WHERE a.seq =") +
           QString::number(seq) + QStringLiteral(" ORDER BY CSEQ");
}
