// filechanger "target;newcopy": replaces the program file `target` with `newcopy` and
// starts the program again. Both names are file names in this program's folder (or
// absolute paths). The client starts it and ends itself at once.
//
// It waits (a few seconds at most) until no process runs `target` any more, gives the
// new copy the target's permissions, moves it over the target (retrying for a few
// seconds while the file is in use), starts the target from its folder and ends.
//
// Exit code: 0 swapped and started, 1 the swap or the start failed, 2 the parameter is
// not of the form "target;newcopy" or the new copy does not exist.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kWaitMs = 10000;
constexpr int kPollMs = 100;

// True while some process of ours runs the executable at `path`.
bool isRunning(const QString& path)
{
#ifdef Q_OS_LINUX
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : entries) {
        bool numeric = false;
        pid.toLongLong(&numeric);
        if (numeric &&
            QFile::symLinkTarget(QStringLiteral("/proc/") + pid + QStringLiteral("/exe")) == canonical)
            return true;
    }
#endif
    return false;
}

// Moves `from` over `to`, retrying while the target cannot be replaced yet.
bool replaceFile(const QString& from, const QString& to)
{
    const QDeadlineTimer deadline(kWaitMs);
    for (;;) {
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                                std::filesystem::path(to.toStdU16String()), error);
        if (!error)
            return true;
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "filechanger: %s: %s\n", qPrintable(to), error.message().c_str());
            return false;
        }
        QThread::msleep(kPollMs * 2);
    }
}

QFileDevice::Permissions executablePermissions(const QString& target, const QString& newCopy)
{
    if (QFileInfo::exists(target))
        return QFile::permissions(target);
    return QFile::permissions(newCopy) | QFileDevice::ExeOwner | QFileDevice::ExeUser;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString parameter = app.arguments().mid(1).join(QLatin1Char(' '));
    const qsizetype separator = parameter.indexOf(QLatin1Char(';'));
    const QDir folder(QCoreApplication::applicationDirPath());
    const QString targetName = separator < 0 ? QString() : parameter.left(separator).trimmed();
    const QString newName = separator < 0 ? QString() : parameter.mid(separator + 1).trimmed();
    const QString target = targetName.isEmpty() ? QString() : folder.absoluteFilePath(targetName);
    const QString newCopy = newName.isEmpty() ? QString() : folder.absoluteFilePath(newName);
    if (target.isEmpty() || newCopy.isEmpty() || !QFileInfo(newCopy).isFile() ||
        QFileInfo(newCopy).canonicalFilePath() == QFileInfo(target).canonicalFilePath()) {
        std::fprintf(stderr, "usage: filechanger \"target;new copy\" (the new copy must exist)\n");
        return 2;
    }

    const QDeadlineTimer deadline(kWaitMs);
    while (isRunning(target) && !deadline.hasExpired())
        QThread::msleep(kPollMs);

    QFile::setPermissions(newCopy, executablePermissions(target, newCopy));
    if (!replaceFile(newCopy, target))
        return 1;
    if (!QProcess::startDetached(target, {}, QFileInfo(target).absolutePath())) {
        std::fprintf(stderr, "filechanger: cannot start %s\n", qPrintable(target));
        return 1;
    }
    return 0;
}
