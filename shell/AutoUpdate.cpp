#include "shell/AutoUpdate.h"

#include "common/AppPaths.h"
#include "common/MsgBox.h"
#include "common/SiteConfig.h"
#include "db/SqlLog.h"
#include "platform/Download.h"
#include "platform/ProgramDownload.h"
#include "platform/UpdateHandshake.h"
#include "shell/modMain.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <cstdio>

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

// Says why a downloaded program was not put in place.
void tellRefused(const QString& fileName, const QString& reason)
{
    MsgBox(QStringLiteral("업데이트 파일을 확인할 수 없어 설치하지 않았습니다.\r\n\r\n") + fileName +
               QStringLiteral(": ") + reason,
           MsgButtons::Ok, MsgIcon::Exclamation);
}

bool downloadProgram(const QString& base, const QString& name, const QString& latest)
{
    AppError error;
    const ProgramDownload outcome = DownloadProgram(UpdateFileUrl(base, name), AppPath(name),
                                                    AdvertisedRevision(latest), Site().updateKey, &error);
    if (outcome == ProgramDownload::Refused)
        tellRefused(name, error.description);
    return outcome == ProgramDownload::Done;
}

// Runs the updater with one parameter text in `folder` and waits for its end, however
// long it takes; a program that does not start ends the wait at once. When it refused
// the new copy (exit code 3), the last line of its error output says why.
void runUpdaterAndWait(const QString& program, const QString& parameter, const QString& folder)
{
    constexpr int kRefused = 3;
    QProcess process;
    process.setProgram(program);
#ifdef Q_OS_WIN
    process.setNativeArguments(parameter);
#else
    process.setArguments({parameter});
#endif
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process.start();
    if (!process.waitForStarted(-1) || !process.waitForFinished(-1))
        return;
    const QByteArray errors = process.readAllStandardError();
    std::fputs(errors.constData(), stderr);
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == kRefused) {
        const QStringList lines = QString::fromUtf8(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        tellRefused(parameter.mid(parameter.indexOf(QLatin1Char(';')) + 1), lines.value(lines.size() - 1));
    }
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
    const QString current = QFileInfo::exists(local) ? ProgramRevision(local) : QStringLiteral("0");

    const QString base = UpdateBaseUrl(Site().updateServer);
    const QString latest = ReadUrlText(base + LastVerResourceName(name));
    if (latest.trimmed().isEmpty()) {
        MsgBox(name + QStringLiteral("의 최신버전 정보를 읽어올 수 없습니다!"), MsgButtons::Ok,
               MsgIcon::Critical);
        return false;
    }
    if (!IsNewerRevision(current, latest))
        return true;
    // The updater and filechanger are one release: both carry the updater's revision.
    return downloadProgram(base, name, latest) && downloadProgram(base, ChangerFileName(), latest);
}

void RunAutoUpdate(bool& skip)
{
    if (TakeRolledBack()) {
        MsgWarn(QStringLiteral("새 버전의 프로그램이 시작되지 않아 이전 버전으로 되돌렸습니다.\r\n"
                               "이번에는 업데이트하지 않습니다."));
        return;
    }
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

    QString revision = ProgramRevision(programPath);
    if (revision.isEmpty())
        revision = QStringLiteral("0");
    runUpdaterAndWait(AppPath(UpdaterFileName()), revision + QLatin1Char(';') + program, AppDir());

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
