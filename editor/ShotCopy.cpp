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

// Gives a file another name in one step, replacing a file of that name.
bool renameFile(const QString& from, const QString& to)
{
    std::error_code failed;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), failed);
    return !failed;
}

// A new hidden file name beside `target`.
QString asideName(const QString& target)
{
    QTemporaryFile name(QFileInfo(target).absolutePath() + QStringLiteral("/.shot-XXXXXX.old"));
    name.setAutoRemove(false);
    return name.open() ? name.fileName() : QString();
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
    if (!renameFile(staged, target)) {
        QFile::remove(staged);
        setError(error, fileError(75, QStringLiteral("Path/File access error"), target));
        return false;
    }
    return true;
}

ShotPlacement::~ShotPlacement()
{
    undo();
}

bool ShotPlacement::place(const QString& staged, const QString& target, AppError* error)
{
    QString aside;
    if (QFileInfo(target).isFile()) {
        aside = asideName(target);
        if (aside.isEmpty() || !renameFile(target, aside)) {
            QFile::remove(aside);
            QFile::remove(staged);
            setError(error, fileError(75, QStringLiteral("Path/File access error"), target));
            return false;
        }
    }
    if (!PlaceShotCopy(staged, target, error)) {
        if (!aside.isEmpty())
            renameFile(aside, target);
        return false;
    }
    m_placed.emplace_back(target, aside);
    return true;
}

void ShotPlacement::keep()
{
    for (const auto& [target, aside] : m_placed)
        if (!aside.isEmpty())
            QFile::remove(aside);
    m_placed.clear();
}

void ShotPlacement::undo()
{
    for (auto it = m_placed.rbegin(); it != m_placed.rend(); ++it) {
        if (it->second.isEmpty())
            QFile::remove(it->first);
        else
            renameFile(it->second, it->first);
    }
    m_placed.clear();
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
