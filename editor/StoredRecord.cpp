#include "editor/StoredRecord.h"

#include "db/Query.h"

namespace {

const char* const kFieldNames[] = {"프로그램", "화면명칭", "업체명", "제목", "등록일시", "내용", "등록자"};
const char* const kAnswerFieldNames[] = {"상태", "답변자", "배포일", "해결책"};

QString fieldValue(const StoredRecord& r, int field)
{
    const RecordValues& v = r.values;
    if (field >= kFieldShot && field < kFieldShot + kShotSlots)
        return v.shots[field - kFieldShot];
    switch (field) {
    case kFieldProgram:
        return QString::number(v.programCode);
    case kFieldFormName:
        return v.formName;
    case kFieldCompany:
        return r.company;
    case kFieldTitle:
        return v.title;
    case kFieldQusDate:
        return v.qusDate;
    case kFieldErrText:
        return v.errText;
    case kFieldAsker:
        return r.listedAskId;
    case kFieldStatus:
        return v.status;
    case kFieldAnswerer:
        return r.listedAnsId;
    case kFieldFtpDate:
        return v.ftpDate;
    case kFieldSolution:
        return v.solution;
    default:
        return {};
    }
}

QString lockSuffix()
{
    return QStringLiteral(" FOR UPDATE");
}

} // namespace

QString RecordFieldName(int field)
{
    if (field >= kFieldShot && field < kFieldShot + kShotSlots)
        return QStringLiteral("스샷 ") + QString::number(field - kFieldShot + 1);
    if (field >= 0 && field < kFieldShot)
        return QString::fromUtf8(kFieldNames[field]);
    if (field >= kFieldStatus && field < kFieldCount)
        return QString::fromUtf8(kAnswerFieldNames[field - kFieldStatus]);
    return {};
}

QList<int> DifferingFields(const StoredRecord& a, const StoredRecord& b)
{
    QList<int> fields;
    for (int field = 0; field < kFieldCount; ++field)
        if (fieldValue(a, field) != fieldValue(b, field))
            fields << field;
    return fields;
}

QString RecordFieldNames(const QList<int>& fields)
{
    QStringList names;
    for (int field : fields)
        names << RecordFieldName(field);
    return names.join(QStringLiteral(", "));
}

QString LastWriterSql(long seq)
{
    return QStringLiteral("SELECT IFNULL(u.name, j.appuser) FROM asjournal_entry AS j"
                          " LEFT JOIN user AS u ON u.id = j.appuser WHERE j.ascode = ") +
           QString::number(seq) + QStringLiteral(" ORDER BY j.id DESC LIMIT 1");
}

QString LockRecordSql(long seq)
{
    return QStringLiteral("SELECT a.appcode, a.formname, a.title, a.errtext, a.sshot1, a.sshot2, a.sshot3,"
                          " a.sshot4, a.sshot5, a.sshot6, a.sshot7, a.sshot8, a.sshot9, a.sshot10, a.user_q,"
                          " a.user_a, a.qusdate, a.ftpdate, a.solution, a.status, u.id AS id1, u2.id AS id2"
                          " FROM aslist AS a LEFT JOIN user AS u ON u.id = a.user_q"
                          " LEFT JOIN user AS u2 ON u2.id = a.user_a WHERE a.seq = ") +
           QString::number(seq) + lockSuffix();
}

QString LockCompanySql(long companySeq)
{
    return QStringLiteral("SELECT comname FROM ascomp WHERE seq = ") + QString::number(companySeq) +
           lockSuffix();
}

StoredRead ReadStoredRecord(long seq, long companySeq, StoredRecord* out)
{
    RecordSetPtr rs;
    OpenRecordset(rs, LockRecordSql(seq));
    if (!rs)
        return StoredRead::Failed;
    if (rs->Eof()) {
        CloseRecordset(rs);
        return StoredRead::Missing;
    }
    RecordValues& v = out->values;
    const auto field = [&rs](const char* name) { return rs->Field(QLatin1String(name)); };
    v.programCode = field("appcode").toLong();
    v.formName = field("formname");
    v.title = field("title");
    v.errText = field("errtext");
    for (int i = 0; i < kShotSlots; ++i)
        v.shots[i] = rs->Field(QStringLiteral("sshot") + QString::number(i + 1));
    v.askId = field("user_q");
    v.ansId = field("user_a");
    v.qusDate = field("qusdate");
    v.ftpDate = field("ftpdate");
    v.solution = field("solution");
    v.status = field("status");
    out->listedAskId = field("id1");
    out->listedAnsId = field("id2");
    CloseRecordset(rs);

    out->company.clear();
    if (companySeq == 0)
        return StoredRead::Found;
    OpenRecordset(rs, LockCompanySql(companySeq));
    if (!rs)
        return StoredRead::Failed;
    if (!rs->Eof())
        out->company = rs->Field(0);
    CloseRecordset(rs);
    return StoredRead::Found;
}

QString ChangedCompletionText(const QString& stored, bool shown, bool removed, const QDate& date,
                              const QString& time)
{
    if (removed)
        return {};
    if (!shown)
        return stored;
    const QString shownTime = time.isEmpty() ? QStringLiteral("00:00") : time;
    if (!stored.isEmpty() && date == QDate::fromString(stored.left(10), QStringLiteral("yyyy-MM-dd")) &&
        shownTime == stored.right(5))
        return stored;
    return ChangedFtpText(date, time);
}
