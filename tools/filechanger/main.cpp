// filechanger "target;newcopy": replaces the program file `target` with `newcopy` and
// starts the program again. Both names are file names in this program's folder (or
// absolute paths). The client starts it and ends itself at once.
//
// It waits (a few seconds at most) until no process runs `target` any more, keeps the
// target as "Old_" + its name, gives the new copy the target's permissions, moves it in
// (retrying for a few seconds while the file is in use) and starts it from its folder.
// The previous program is kept until the new one has reported that it runs (see
// platform/UpdateHandshake.h); when it does not within a minute, or ends first, it is
// stopped, the previous program is put back and started with the rolled-back mark.
//
// Exit code: 0 swapped and started, 1 the swap or the start failed, 2 the parameter is
// not of the form "target;newcopy" or the new copy does not exist, 3 the new program did
// not start: the previous one is back and was started.

#include "platform/UpdateHandshake.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <filesystem>
#include <system_error>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

constexpr int kWaitMs = 10000;
constexpr int kStartWaitMs = 60000;
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

#ifdef Q_OS_WIN
bool isAlive(qint64 pid)
{
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return false;
    const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return alive;
}

void stop(qint64 pid)
{
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kWaitMs);
    CloseHandle(process);
}
#else
// A process that has ended but was not yet reaped counts as gone.
bool isAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(pid_t(pid), 0) == 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 2, 1) != "Z";
}

void stop(qint64 pid)
{
    ::kill(pid_t(pid), SIGKILL);
    const QDeadlineTimer deadline(kWaitMs);
    while (isAlive(pid) && !deadline.hasExpired())
        QThread::msleep(kPollMs);
}
#endif

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

bool start(const QString& program, const char* variable, const QString& value, qint64* pid = nullptr)
{
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(variable), value);
    process.setProcessEnvironment(environment);
    return process.startDetached(pid);
}

// Starts the swapped-in program and waits until it reports that it runs.
bool startedAndReported(const QString& program)
{
    const QString report = program + QStringLiteral(".started");
    QFile::remove(report);
    qint64 pid = 0;
    if (!start(program, kStartedFileVariable, report, &pid))
        return false;
    const QDeadlineTimer deadline(kStartWaitMs);
    while (!QFile::exists(report) && isAlive(pid) && !deadline.hasExpired())
        QThread::msleep(kPollMs);
    const bool reported = QFile::exists(report);
    if (!reported)
        stop(pid);
    QFile::remove(report);
    return reported;
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
    const QString kept =
        QFileInfo(target).absolutePath() + QStringLiteral("/Old_") + QFileInfo(target).fileName();
    const bool hadTarget = QFileInfo::exists(target);
    if (hadTarget && !replaceFile(target, kept))
        return 1;
    if (!replaceFile(newCopy, target)) {
        if (hadTarget)
            replaceFile(kept, target);
        return 1;
    }
    if (startedAndReported(target)) {
        QFile::remove(kept);
        return 0;
    }
    std::fprintf(stderr, "filechanger: %s did not start%s\n", qPrintable(target),
                 hadTarget ? "; the previous program is put back" : "");
    if (!hadTarget || !replaceFile(kept, target))
        return 1;
    start(target, kRolledBackVariable, QStringLiteral("1"));
    return 3;
}
