#include "editor/ShotCopy.h"

#include "records/SharePath.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace {

AppError fileError(long number, const QString& description, const QString& path)
{
    return {number, QStringLiteral("FileCopy"), description + QStringLiteral(": ") + path};
}

void setError(AppError* error, const AppError& value)
{
    if (error)
        *error = value;
}

} // namespace

QString ReachablePath(const QString& path)
{
    const QString local = LocalSharePath(path);
#ifndef Q_OS_WIN
    if (local.startsWith(QLatin1String("\\\\")))
        return {};
#endif
    return local;
}

QString StageShotCopy(const QString& source, const QString& folder, AppError* error)
{
    const QString from = ReachablePath(source);
    if (from.isEmpty() || !QFileInfo(from).isFile()) {
        setError(error, fileError(53, QStringLiteral("File not found"), source));
        return {};
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        setError(error, fileError(76, QStringLiteral("Path not found"), folder));
        return {};
    }
    QFile in(from);
    QTemporaryFile out(folder + QStringLiteral("/.shot-XXXXXX.tmp"));
    out.setAutoRemove(true);
    bool ok = in.open(QIODevice::ReadOnly) && out.open();
    while (ok && !in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        ok = !block.isEmpty() && out.write(block) == block.size();
    }
    ok = ok && in.error() == QFileDevice::NoError && out.flush();
    if (!ok) {
        setError(error, fileError(75, QStringLiteral("Path/File access error"), folder));
        return {};
    }
    // Temporary files are private to their owner; a picture on the share is for everyone.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    out.setAutoRemove(false);
    return out.fileName();
}

bool PlaceShotCopy(const QString& staged, const QString& target, AppError* error)
{
    // Replaces the target in one step, so it is never missing or half written.
    std::error_code failed;
    std::filesystem::rename(std::filesystem::path(staged.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), failed);
    if (failed) {
        QFile::remove(staged);
        setError(error, fileError(75, QStringLiteral("Path/File access error"), target));
        return false;
    }
    return true;
}

bool CopyShotFile(const QString& source, const QString& target, AppError* error)
{
    const QString staged = StageShotCopy(source, QFileInfo(target).absolutePath(), error);
    return !staged.isEmpty() && PlaceShotCopy(staged, target, error);
}

bool IsSameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
