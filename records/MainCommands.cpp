#include "records/MainCommands.h"

#include "common/AppPaths.h"
#include "db/Query.h"
#include "records/SharePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kShotSlots = 10;

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

// `path` with every link and "." or ".." resolved; "" when that cannot be known. A file
// that does not exist (yet) resolves through its folder.
QString resolvedPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return info.canonicalFilePath(); // "" for a dangling link
    const QString name = info.fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    const QString dir = info.absoluteDir().canonicalPath();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}

// True when the resolved `path` lies below `folder` (itself resolved).
bool isBelow(const QString& path, const QString& folder)
{
    const QString root = folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath();
    return !root.isEmpty() && path.startsWith(root + QLatin1Char('/'), kPathCase);
}

} // namespace

QString ShotPathsSql(long seq)
{
    return QStringLiteral("SELECT sshot1,sshot2,sshot3,sshot4,sshot5 ,sshot6,sshot7,sshot8,sshot9,sshot10  "
                          "FROM aslist WHERE seq = ") +
           QString::number(seq);
}

QString DeleteRecordSql(long seq)
{
    return QStringLiteral("DELETE FROM aslist WHERE seq = ") + QString::number(seq);
}

QString DeleteRecordCompaniesSql(long seq)
{
    return QStringLiteral("DELETE FROM ascomp WHERE ascode = ") + QString::number(seq);
}

QString DeleteCompanySql(long cseq)
{
    return QStringLiteral("DELETE FROM ascomp WHERE seq = ") + QString::number(cseq);
}

QString OwnedShotFile(const QString& storedPath)
{
    if (storedPath.trimmed().isEmpty())
        return {};
    const QString local = resolvedPath(LocalSharePath(storedPath));
    if (local.isEmpty())
        return {};
    const QString shareFolder = StoredShotFolder();
    if (isBelow(local, CaptureDir()) ||
        (!shareFolder.isEmpty() && isBelow(local, LocalSharePath(shareFolder))))
        return local;
    return {};
}

bool DeleteShotFiles(const QStringList& storedPaths, AppError* error)
{
    bool ok = true;
    for (const QString& stored : storedPaths) {
        const QString local = OwnedShotFile(stored);
        if (local.isEmpty() || !QFileInfo(local).isFile())
            continue;
        QFile file(local);
        if (!file.remove() && ok) {
            ok = false;
            if (error)
                *error = {75, QStringLiteral("Kill"), QStringLiteral("Path/File access error")};
        }
    }
    return ok;
}

RecordDeleteResult DeleteRecord(long seq)
{
    RecordDeleteResult result;
    QStringList paths;
    RecordSetPtr rs;
    OpenRecordset(rs, ShotPathsSql(seq));
    if (rs && !rs->Eof())
        for (int i = 1; i <= kShotSlots; ++i)
            paths << rs->Field(QStringLiteral("sshot") + QString::number(i));
    CloseRecordset(rs);

    if (ExecSQL(DeleteRecordSql(seq)) < 1)
        return result;
    const bool companiesDeleted = ExecSQL(DeleteRecordCompaniesSql(seq)) >= 1;
    DeleteShotFiles(paths, &result.fileError);
    result.outcome = companiesDeleted ? RecordDeleteOutcome::Deleted : RecordDeleteOutcome::CompaniesGone;
    return result;
}
