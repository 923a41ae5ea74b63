#include "shell/AutoUpdate.h"

#include "common/AppPaths.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/SqlLog.h"
#include "platform/Download.h"
#include "platform/VersionInfo.h"
#include "shell/modMain.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

AutoUpdateHooks& hooks()
{
    static AutoUpdateHooks instance;
    return instance;
}

void endProcess()
{
    if (hooks().endProcess)
        hooks().endProcess();
    else
        ExitApp();
}

void openFolder(const QString& folder)
{
    if (hooks().openFolder)
        hooks().openFolder(folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QString withExeSuffix(const QString& name)
{
#ifdef Q_OS_WIN
    return name + QStringLiteral(".exe");
#else
    return name;
#endif
}

// The last part of a file's version ("1.0.0.12" -> "12"); "" without a version.
QString revisionOf(const QString& path)
{
    const QString version = GetFileVer(path, true);
    return version.mid(version.lastIndexOf(QLatin1Char('.')) + 1);
}

// A program fetched for the first time must be runnable.
void makeExecutable(const QString& path)
{
    QFileDevice::Permissions p = QFile::permissions(path);
    p |= QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (p & QFileDevice::ReadGroup)
        p |= QFileDevice::ExeGroup;
    if (p & QFileDevice::ReadOther)
        p |= QFileDevice::ExeOther;
    QFile::setPermissions(path, p);
}

bool downloadProgram(const QString& url, const QString& path)
{
    if (!DownloadUrlToFile(url, path))
        return false;
    makeExecutable(path);
    return true;
}

// Runs a program with one parameter text in `folder` and waits for its end, however
// long it takes; a program that does not start ends the wait at once.
void runAndWait(const QString& program, const QString& parameter, const QString& folder)
{
    QProcess process;
    process.setProgram(program);
#ifdef Q_OS_WIN
    process.setNativeArguments(parameter);
#else
    process.setArguments({parameter});
#endif
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (process.waitForStarted(-1))
        process.waitForFinished(-1);
}

void startDetached(const QString& program, const QString& parameter, const QString& folder)
{
    QProcess process;
    process.setProgram(program);
#ifdef Q_OS_WIN
    process.setNativeArguments(parameter);
#else
    process.setArguments({parameter});
#endif
    process.setWorkingDirectory(folder);
    process.startDetached();
}

} // namespace

QString UpdaterFileName()
{
    return withExeSuffix(QStringLiteral("AutoUpdateV1"));
}

QString ChangerFileName()
{
    return withExeSuffix(QStringLiteral("filechanger"));
}

void SetAutoUpdateHooksForTesting(AutoUpdateHooks testHooks)
{
    hooks() = std::move(testHooks);
}

bool AutoUpdaterSelfUpdate()
{
    const QString name = UpdaterFileName();
    const QString local = AppPath(name);
    const QString current = QFileInfo::exists(local) ? revisionOf(local) : QStringLiteral("0");

    const QString base = UpdateBaseUrl(Site().updateServer);
    const QString latest = ReadUrlText(base + LastVerResourceName(name));
    if (latest.trimmed().isEmpty()) {
        MsgBox(name + QStringLiteral("의 최신버전 정보를 읽어올 수 없습니다!"), MsgButtons::Ok,
               MsgIcon::Critical);
        return false;
    }
    if (!IsNewerRevision(current, latest))
        return true;
    if (!downloadProgram(UpdateFileUrl(base, name), local))
        return false;
    const QString changer = ChangerFileName();
    return downloadProgram(UpdateFileUrl(base, changer), AppPath(changer));
}

void RunAutoUpdate(bool& skip)
{
    if (Site().updateServer.trimmed().isEmpty())
        return;
    if (!IsAppDirWritable()) {
        // An installation this user cannot change is updated by its package manager.
        WriteSQLLogNote(QStringLiteral("자동업데이트 안 함: 프로그램 폴더에 쓸 수 없습니다 (") +
                        QDir::toNativeSeparators(AppDir()) + QStringLiteral(")"));
        return;
    }
    if (!skip && !AutoUpdaterSelfUpdate())
        return;

    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString programPath = AppPath(program);
    if (!QFileInfo::exists(programPath))
        return;

    QString revision = revisionOf(programPath);
    if (revision.isEmpty())
        revision = QStringLiteral("0");
    runAndWait(AppPath(UpdaterFileName()), revision + QLatin1Char(';') + program, AppDir());

    const QString newCopy = QStringLiteral("New_") + program;
    if (!QFileInfo::exists(AppPath(newCopy)))
        return;
    const QString changer = AppPath(ChangerFileName());
    if (!QFileInfo::exists(changer)) {
        MsgBox(QStringLiteral("파일교체 프로그램을 찾을 수 없습니다.\r\n\r\n") +
               QDir::toNativeSeparators(changer));
        openFolder(AppDir());
        endProcess();
        return;
    }
    startDetached(changer, program + QLatin1Char(';') + newCopy, AppDir());
    endProcess();
}
