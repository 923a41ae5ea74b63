#include "journal/JournalEntry.h"

#include "db/RecordSet.h"

namespace {

const QString kArrow = QStringLiteral(" → ");

// Fields shown with their old and new value, by their Korean name.
QString valueFieldName(const QString& field)
{
    static const QList<std::pair<QString, QString>> names{
        {QStringLiteral("status"), QStringLiteral("상태")},
        {QStringLiteral("title"), QStringLiteral("제목")},
        {QStringLiteral("formname"), QStringLiteral("화면")},
        {QStringLiteral("appcode"), QStringLiteral("프로그램")},
        {QStringLiteral("user_q"), QStringLiteral("요청자")},
        {QStringLiteral("user_a"), QStringLiteral("처리자")},
        {QStringLiteral("qusdate"), QStringLiteral("요청일시")},
        {QStringLiteral("ftpdate"), QStringLiteral("완료일시")},
    };
    for (const auto& [column, name] : names)
        if (column == field)
            return name;
    return {};
}

QString shown(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("(없음)") : value;
}

// "스샷 N" for the question's slots 1-5, "답변 스샷 N" for the answer's 6-10.
QString shotName(int slot)
{
    return slot <= 5 ? QStringLiteral("스샷 %1").arg(slot) : QStringLiteral("답변 스샷 %1").arg(slot - 5);
}

QString fieldChangeText(const JournalEntry& e)
{
    if (e.field == QLatin1String("errtext"))
        return QStringLiteral("요청내용 변경");
    if (e.field == QLatin1String("solution"))
        return e.oldValue.isEmpty() ? QStringLiteral("해결책 등록") : QStringLiteral("해결책 변경");
    if (e.field.startsWith(QLatin1String("sshot"))) {
        const QString name = shotName(e.field.mid(5).toInt());
        if (e.oldValue.isEmpty())
            return name + QStringLiteral(" 추가");
        return name + (e.newValue.isEmpty() ? QStringLiteral(" 삭제") : QStringLiteral(" 변경"));
    }
    const QString name = valueFieldName(e.field);
    if (name.isEmpty())
        return e.field + QStringLiteral(" 변경");
    return name + QStringLiteral(": ") + shown(e.oldValue) + kArrow + shown(e.newValue);
}

} // namespace

QString JournalActor(const JournalEntry& entry)
{
    if (!entry.userName.isEmpty())
        return entry.userName;
    return entry.userId.isEmpty() ? QStringLiteral("알 수 없음") : entry.userId;
}

QString ChangeText(const JournalEntry& e)
{
    switch (e.kind) {
    case JournalKind::RequestAdded:
        return QStringLiteral("요청 등록: ") + e.newValue;
    case JournalKind::FieldChanged:
        return fieldChangeText(e);
    case JournalKind::RequestDeleted:
        return QStringLiteral("요청 삭제: ") + e.oldValue;
    case JournalKind::CompanyAdded:
        return QStringLiteral("업체 추가: ") + e.newValue;
    case JournalKind::CompanyChanged:
        return QStringLiteral("업체 변경: ") + shown(e.oldValue) + kArrow + shown(e.newValue);
    case JournalKind::CompanyRemoved:
        return QStringLiteral("업체 삭제: ") + e.oldValue;
    }
    return {};
}

JournalEntry JournalEntryFromRow(const RecordSet& rs)
{
    JournalEntry e;
    e.id = rs.Field(QStringLiteral("id")).toLongLong();
    e.seq = rs.Field(QStringLiteral("ascode")).toLong();
    e.when = rs.Field(QStringLiteral("wtime"));
    e.userId = rs.Field(QStringLiteral("appuser"));
    e.userName = rs.Field(QStringLiteral("uname"));
    e.kind = JournalKind(rs.Field(QStringLiteral("kind")).toInt());
    e.field = rs.Field(QStringLiteral("field"));
    e.oldValue = rs.Field(QStringLiteral("oldval"));
    e.newValue = rs.Field(QStringLiteral("newval"));
    return e;
}
