#include "records/MainCommands.h"

#include "common/AppPaths.h"
#include "common/SiteConfig.h"
#include "db/Query.h"
#include "records/SharePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kShotSlots = 10;

// True when `path` lies inside `folder` (both resolved through links).
bool isInside(const QString& path, const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString root = QFileInfo(folder).canonicalFilePath();
    const QString dir = QFileInfo(path).absoluteDir().canonicalPath();
    if (root.isEmpty() || dir.isEmpty())
        return false;
    return dir == root || dir.startsWith(root + QLatin1Char('/'));
}

// A UNC path on the configured share host.
bool isOnShareHost(const QString& storedPath)
{
    const QString host = Site().shareHost;
    if (host.isEmpty() || !storedPath.startsWith(QLatin1String("\\\\")))
        return false;
    const qsizetype hostEnd = storedPath.indexOf(QLatin1Char('\\'), 2);
    return hostEnd > 2 && storedPath.mid(2, hostEnd - 2).compare(host, Qt::CaseInsensitive) == 0;
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
    const QString local = LocalSharePath(storedPath);
    if (isOnShareHost(storedPath) || isInside(local, CaptureDir()) ||
        isInside(local, Site().mountRoot))
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
