#include "editor/RecordSave.h"

#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "editor/ShotCopy.h"
#include "windows/FloatMsgLauncher.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int16_t kFloatTime = 500;
constexpr uint32_t kFloatColour = 0xFFFF00;

const QString kNewRecordFailed = QStringLiteral("A/S리스트저장중 오류가 발생하였습니다.");
const QString kCompanyFailed = QStringLiteral("업체저장중 오류가 발생하였습니다.");
const QString kShotPathsFailed = QStringLiteral("스샷저장중  내용이없거나, 오류가 발생하였습니다.");
const QString kNothingChanged = QStringLiteral("수정된 내용이 없거나, 오류가 발생하였습니다.");

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

// Staged copies of a save; those not placed are removed when the save ends.
struct StagedShots
{
    ShotTags files;
    ~StagedShots()
    {
        for (const QString& file : files)
            if (!file.isEmpty())
                QFile::remove(file);
    }
    bool any() const
    {
        return std::any_of(files.begin(), files.end(), [](const QString& f) { return !f.isEmpty(); });
    }
    // Gives every staged file the local name of its slot's path in `tags`.
    bool placeAll(const ShotTags& tags, ShotPlacement& placement, AppError* error)
    {
        for (int i = 0; i < kShotSlots; ++i) {
            if (files[i].isEmpty())
                continue;
            const QString staged = std::exchange(files[i], QString());
            if (!placement.place(staged, ReachablePath(tags[i]), error))
                return false;
        }
        return true;
    }
};

// Tables that keep no transactions (MyISAM) keep what a rolled-back save wrote: a new
// record that is still there afterwards is deleted again.
void undoNewRecord(long seq)
{
    if (seq <= 0 || WriteConnectionLost())
        return;
    const QString number = QString::number(seq);
    if (GetValue(QStringLiteral("SELECT COUNT(*) FROM aslist WHERE seq = ") + number).toLong() == 0)
        return;
    ExecSQL(QStringLiteral("DELETE FROM ascomp WHERE ascode = ") + number);
    ExecSQL(QStringLiteral("DELETE FROM aslist WHERE seq = ") + number);
}

// The same for a changed record: written back as it was when the save locked it.
void undoChangedRecord(long seq, long companySeq, const StoredRecord& before)
{
    if (WriteConnectionLost())
        return;
    StoredRecord now;
    if (ReadStoredRecord(seq, companySeq, &now) != StoredRead::Found)
        return;
    const QList<int> changed = DifferingFields(before, now);
    if (changed.size() > int(changed.contains(kFieldCompany)) || now.values.askId != before.values.askId ||
        now.values.ansId != before.values.ansId)
        ExecSQL(UpdateRecordSql(before.values, seq));
    if (changed.contains(kFieldCompany))
        ExecSQL(UpdateCompanyNameSql(before.company, companySeq));
}

} // namespace

QString CompanyOrDefault(const QString& company)
{
    const QString trimmed = company.trimmed();
    return trimmed.isEmpty() ? QString::fromLatin1(kDefaultCompany) : trimmed;
}

StoredRecord AsStored(const EditorRecord& record, const StoredRecord& loaded)
{
    StoredRecord r;
    r.values = record.values;
    r.values.ftpDate = ChangedCompletionText(loaded.values.ftpDate, record.hasFtp, record.ftpRemoved,
                                             record.ftpDate, record.ftpTime);
    r.company = record.company;
    r.listedAskId = record.values.askId;
    r.listedAnsId = record.values.ansId;
    return r;
}

SaveOutcome SaveNewRecord(const EditorRecord& record)
{
    SaveOutcome out;
    out.tags = record.values.shots;
    const QString host = Site().shareHost;
    const QString screen = record.values.formName;
    const long predicted = GetValue(MaxSeqSql()).trimmed().toLong() + 1;

    // Every picture is copied onto the share under a hidden name before anything is written.
    StagedShots staged;
    RecordValues values = record.values;
    for (int i = 0; i < kShotSlots; ++i) {
        if (record.values.shots[i].isEmpty())
            continue;
        AppError error;
        const QString target = shareTarget(predicted, screen, i, &error);
        if (!target.isEmpty())
            staged.files[i] = StageShotCopy(record.values.shots[i], QFileInfo(target).absolutePath(), &error);
        if (staged.files[i].isEmpty()) {
            showCopyError(error, "SaveNew");
            return out;
        }
        values.shots[i] = StoredShotPath(host, predicted, screen, i);
    }
    values.ftpDate = record.hasFtp ? NewFtpText(record.ftpDate, record.ftpTime) : QString();

    long seq = 0;
    const auto fail = [&seq](const QString& warning) {
        RollbackTransaction();
        undoNewRecord(seq);
        if (!warning.isEmpty())
            MsgWarn(warning);
    };
    if (!BeginTransaction() || ExecSQL(InsertRecordSql(values)) < 1) {
        fail(kNewRecordFailed);
        return out;
    }
    seq = GetInsertId();

    const QString registrant =
        values.askId.isEmpty() ? QString::fromLatin1(kDefaultRegistrant) : values.askId;
    if (ExecSQL(InsertFirstCompanySql(registrant, CompanyOrDefault(record.company), values.qusDate, seq)) < 1) {
        fail(kCompanyFailed);
        return out;
    }
    ShotTags tags = values.shots;
    for (int i = 0; i < kShotSlots; ++i)
        if (!staged.files[i].isEmpty())
            tags[i] = StoredShotPath(host, seq, screen, i);
    if (seq != predicted && staged.any() && ExecSQL(UpdateShotPathsSql(tags, seq)) < 1) {
        fail(kShotPathsFailed);
        return out;
    }

    // The files get their names only now that every statement went through.
    ShotPlacement placement;
    AppError error;
    if (!staged.placeAll(tags, placement, &error)) {
        placement.undo();
        fail(QString());
        showCopyError(error, "SaveNew");
        return out;
    }
    if (!CommitTransaction()) {
        placement.undo();
        fail(kNewRecordFailed);
        return out;
    }
    placement.keep();
    ShowFloatMsg(QStringLiteral("자료가 저장되었습니다."), kFloatTime, 1, kFloatColour);
    out.stored = true;
    out.seq = seq;
    out.tags = tags;
    return out;
}

SaveOutcome SaveChangedRecord(const EditorRecord& record, const StoredRecord& loaded)
{
    SaveOutcome out;
    out.seq = record.seq;
    out.tags = record.values.shots;
    const QString host = Site().shareHost;
    const QString screen = record.values.formName;

    // Pictures the share does not hold under their slot's name yet are staged first; a
    // stored picture must still be there.
    StagedShots staged;
    RecordValues values = record.values;
    bool copied = false;
    for (int i = 0; i < kShotSlots; ++i) {
        const QString& tag = record.values.shots[i];
        if (tag.isEmpty())
            continue;
        AppError error;
        const QString target = shareTarget(record.seq, screen, i, &error);
        const bool alreadyThere = !target.isEmpty() && (tag == StoredShotPath(host, record.seq, screen, i) ||
                                                        IsSameFile(ReachablePath(tag), target));
        if (alreadyThere && !QFileInfo(target).isFile())
            error = {53, QStringLiteral("FileCopy"), QStringLiteral("File not found: ") + tag};
        else if (!target.isEmpty() && !alreadyThere)
            staged.files[i] = StageShotCopy(tag, QFileInfo(target).absolutePath(), &error);
        const bool ready = alreadyThere ? QFileInfo(target).isFile() : !staged.files[i].isEmpty();
        if (!ready) {
            showCopyError(error, "SaveUpdate");
            return out;
        }
        copied = copied || !alreadyThere;
        values.shots[i] = StoredShotPath(host, record.seq, screen, i);
    }
    values.ftpDate = ChangedCompletionText(loaded.values.ftpDate, record.hasFtp, record.ftpRemoved,
                                           record.ftpDate, record.ftpTime);

    StoredRecord before;
    bool written = false;
    const auto fail = [&](const QString& warning) {
        RollbackTransaction();
        if (written)
            undoChangedRecord(record.seq, record.companySeq, before);
        if (!warning.isEmpty())
            MsgWarn(warning);
    };
    if (!BeginTransaction()) {
        fail(kNothingChanged);
        return out;
    }
    // The row is locked from here to the end: no other save can slip in between.
    switch (ReadStoredRecord(record.seq, record.companySeq, &before)) {
    case StoredRead::Failed:
        fail(kNothingChanged);
        return out;
    case StoredRead::Missing:
        fail(QString());
        out.refusal = SaveRefusal::Gone;
        return out;
    case StoredRead::Found:
        break;
    }
    out.changedFields = DifferingFields(loaded, before);
    if (!out.changedFields.isEmpty()) {
        fail(QString());
        out.refusal = SaveRefusal::Changed;
        return out;
    }

    written = true;
    const long rows = ExecSQL(UpdateRecordSql(values, record.seq));
    if (LastExecFailed()) {
        fail(kNothingChanged);
        return out;
    }
    const long companyRows = ExecSQL(UpdateCompanyNameSql(CompanyOrDefault(record.company), record.companySeq));
    if (LastExecFailed() || (rows < 1 && companyRows < 1 && !copied)) {
        fail(kNothingChanged);
        return out;
    }

    ShotPlacement placement;
    AppError error;
    if (!staged.placeAll(values.shots, placement, &error)) {
        placement.undo();
        fail(QString());
        showCopyError(error, "SaveUpdate");
        return out;
    }
    if (!CommitTransaction()) {
        placement.undo();
        fail(kNothingChanged);
        return out;
    }
    placement.keep();
    ShowFloatMsg(QStringLiteral("자료가 수정되었습니다."), kFloatTime, 1, kFloatColour);
    out.stored = true;
    out.tags = values.shots;
    return out;
}
