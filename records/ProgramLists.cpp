#include "records/ProgramLists.h"

#include "controls/HCCombo.h"
#include "db/Query.h"

QString ProgramListSql()
{
    return QStringLiteral("SELECT code, name, note, groupid") + QStringLiteral(" FROM part") +
           QStringLiteral(" WHERE hidden = 0") + QStringLiteral(" order by sortord, code");
}

QString UserListSql(const QString& condition)
{
    QString sql = QStringLiteral("SELECT id, name FROM user") + QStringLiteral(" WHERE hidden=0");
    if (!condition.isEmpty())
        sql += QStringLiteral(" AND ") + condition;
    return sql + QStringLiteral(" ORDER BY groupcode DESC, binary name, id");
}

void FillProgramCombo(HCCombo* combo, bool withPlaceholder, bool withGroup)
{
    if (!combo)
        return;
    combo->Clear();
    if (withPlaceholder)
        combo->AddItem(QStringLiteral("[프로그램]"));
    if (withGroup)
        combo->AddItem(QStringLiteral("누리셈II외4종"));

    RecordSetPtr rs;
    OpenRecordset(rs, ProgramListSql());
    for (; rs && !rs->Eof(); rs->MoveNext()) {
        combo->AddItem(rs->Field(QStringLiteral("name")));
        combo->setItemData(combo->NewIndex(), rs->Field(QStringLiteral("code")).toInt());
    }
    CloseRecordset(rs);
}

void FillUserCombo(HCCombo* combo, bool withAll, const QString& condition)
{
    if (!combo)
        return;
    combo->Clear();

    RecordSetPtr rs;
    OpenRecordset(rs, UserListSql(condition));
    for (; rs && !rs->Eof(); rs->MoveNext())
        combo->AddItem(rs->Field(QStringLiteral("name")), 0, rs->Field(QStringLiteral("id")));
    if (withAll)
        combo->AddItem(QStringLiteral("[전체]"), 0, QStringLiteral("1"));
    CloseRecordset(rs);
}

QString GetUserNameById(const QString& id)
{
    return GetValue(QStringLiteral(" SELECT name FROM user WHERE id = '") + EscapeSQL(id) +
                    QStringLiteral("'"));
}
