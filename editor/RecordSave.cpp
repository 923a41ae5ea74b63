#include "editor/RecordSave.h"

#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/Query.h"
#include "editor/ShotCopy.h"
#include "windows/FloatMsgLauncher.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int16_t kFloatTime = 500;
constexpr uint32_t kFloatColour = 0xFFFF00;

void showCopyError(const AppError& error, const char* procedure)
{
    ShowProcError(error, QLatin1String(procedure), ErrScope::Form, QStringLiteral("FrmAS"));
}

// The local file of slot `slot` of record `seq` on the share, with a name every client
// can use.
QString shareTarget(long seq, const QString& screen, int slot, AppError* error)
{
    const QString fileName = StoredShotName(seq, screen, slot);
    const QString stored = StoredShotPath(Site().shareHost, seq, screen, slot);
    if (!IsPortableFileName(fileName)) {
        *error = {52, QStringLiteral("FileCopy"), QStringLiteral("Bad file name or number: ") + fileName};
        return {};
    }
    const QString local = ReachablePath(stored);
    if (local.isEmpty())
        *error = {76, QStringLiteral("FileCopy"), QStringLiteral("Path not found: ") + stored};
    return local;
}

void removeStaged(const ShotTags& staged)
{
    for (const QString& file : staged)
        if (!file.isEmpty())
            QFile::remove(file);
}

} // namespace

QString CompanyOrDefault(const QString& company)
{
    const QString trimmed = company.trimmed();
    return trimmed.isEmpty() ? QString::fromLatin1(kDefaultCompany) : trimmed;
}

SaveOutcome SaveNewRecord(const EditorRecord& record)
{
    SaveOutcome out;
    out.tags = record.values.shots;
    const QString host = Site().shareHost;
    const QString screen = record.values.formName;
    const long predicted = GetValue(MaxSeqSql()).trimmed().toLong() + 1;

    ShotTags staged;
    for (int i = 0; i < kShotSlots; ++i) {
        if (record.values.shots[i].isEmpty())
            continue;
        AppError error;
        const QString stored = StoredShotPath(host, predicted, screen, i);
        const QString target = shareTarget(predicted, screen, i, &error);
        if (!target.isEmpty())
            staged[i] = StageShotCopy(record.values.shots[i], QFileInfo(target).absolutePath(), &error);
        if (staged[i].isEmpty()) {
            removeStaged(staged);
            out.tags = record.values.shots;
            showCopyError(error, "SaveNew");
            return out;
        }
        out.tags[i] = stored;
    }

    RecordValues values = record.values;
    values.shots = out.tags;
    values.ftpDate = record.hasFtp ? NewFtpText(record.ftpDate, record.ftpTime) : QString();
    if (ExecSQL(InsertRecordSql(values)) < 1) {
        removeStaged(staged);
        out.tags = record.values.shots;
        MsgWarn(QStringLiteral("A/S리스트저장중 오류가 발생하였습니다."));
        return out;
    }
    out.seq = GetInsertId();

    bool anyShot = false;
    for (int i = 0; i < kShotSlots; ++i) {
        if (staged[i].isEmpty())
            continue;
        anyShot = true;
        out.tags[i] = StoredShotPath(host, out.seq, screen, i);
        AppError error;
        if (!PlaceShotCopy(staged[i], ReachablePath(out.tags[i]), &error)) {
            staged[i].clear();
            removeStaged(staged);
            showCopyError(error, "SaveNew");
            return out;
        }
        staged[i].clear();
    }

    const QString registrant =
        values.askId.isEmpty() ? QString::fromLatin1(kDefaultRegistrant) : values.askId;
    if (ExecSQL(InsertFirstCompanySql(registrant, CompanyOrDefault(record.company), values.qusDate,
                                      out.seq)) < 1) {
        MsgWarn(QStringLiteral("업체저장중 오류가 발생하였습니다."));
        return out;
    }
    if (out.seq != predicted && anyShot && ExecSQL(UpdateShotPathsSql(out.tags, out.seq)) < 1) {
        MsgWarn(QStringLiteral("스샷저장중  내용이없거나, 오류가 발생하였습니다."));
        return out;
    }
    ShowFloatMsg(QStringLiteral("자료가 저장되었습니다."), kFloatTime, 1, kFloatColour);
    out.stored = true;
    return out;
}

SaveOutcome SaveChangedRecord(const EditorRecord& record)
{
    SaveOutcome out;
    out.seq = record.seq;
    out.tags = record.values.shots;
    const QString host = Site().shareHost;

    bool copied = false;
    for (int i = 0; i < kShotSlots; ++i) {
        const QString& tag = record.values.shots[i];
        if (tag.isEmpty())
            continue;
        const QString stored = StoredShotPath(host, record.seq, record.values.formName, i);
        AppError error;
        const QString target = shareTarget(record.seq, record.values.formName, i, &error);
        const QString source = ReachablePath(tag);
        const bool alreadyThere = tag == stored || (!source.isEmpty() && IsSameFile(source, target));
        if (target.isEmpty() || (!alreadyThere && !CopyShotFile(tag, target, &error))) {
            out.tags = record.values.shots;
            showCopyError(error, "SaveUpdate");
            return out;
        }
        copied = copied || !alreadyThere;
        out.tags[i] = stored;
    }

    RecordValues values = record.values;
    values.shots = out.tags;
    values.ftpDate = record.hasFtp ? ChangedFtpText(record.ftpDate, record.ftpTime) : QString();
    // The record row first; the company name is written whether or not the row changed.
    const long rows = ExecSQL(UpdateRecordSql(values, record.seq));
    const bool rowFailed = rows < 1 && LastExecFailed();
    const long companyRows =
        rowFailed ? 0 : ExecSQL(UpdateCompanyNameSql(CompanyOrDefault(record.company), record.companySeq));
    if (rowFailed || (rows < 1 && companyRows < 1 && !copied)) {
        MsgWarn(QStringLiteral("수정된 내용이 없거나, 오류가 발생하였습니다."));
        return out;
    }
    ShowFloatMsg(QStringLiteral("자료가 수정되었습니다."), kFloatTime, 1, kFloatColour);
    out.stored = true;
    return out;
}
