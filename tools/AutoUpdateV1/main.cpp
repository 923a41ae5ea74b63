// AutoUpdateV1 "revision;program": fetches a newer copy of `program`, a file beside this
// updater, when the update server has one.
//
// The server ([Update] Server of site.ini beside the updater) keeps, under the same base
// address the client uses for the updater itself, the program's latest revision in
// <program without extension>_lastver.txt and the program under its own file name. When
// that revision is above `revision`, the program is downloaded as "New_" + program; the
// client then has filechanger swap it in. When the program is current, a "New_" copy left
// by an earlier run is removed so that an older copy is never swapped in. A download is
// left as the new copy only when it carries the advertised revision in its version block
// and, with [Update] PublicKey, a valid signature (platform/ProgramDownload.h).
//
// Exit code: 0 done (new copy left, or none needed), 1 the check or the download failed,
// 2 the parameter is not of the form "revision;program", 3 the download was refused: the
// last line on the error output says why, in words for the user.

#include "common/AppPaths.h"
#include "common/SiteConfig.h"
#include "platform/Download.h"
#include "platform/ProgramDownload.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

int fail(const QString& what, const AppError& error)
{
    const QString reason = error.isSet() ? error.description : QStringLiteral("no revision in the text");
    std::fprintf(stderr, "AutoUpdateV1: %s: %s\n", qPrintable(what), qPrintable(reason));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString parameter = app.arguments().mid(1).join(QLatin1Char(' '));
    const qsizetype separator = parameter.indexOf(QLatin1Char(';'));
    const QString revision = parameter.left(separator).trimmed();
    const QString program = separator < 0 ? QString() : parameter.mid(separator + 1).trimmed();
    if (program.isEmpty() || QFileInfo(program).fileName() != program ||
        program.contains(QLatin1Char('\\'))) {
        std::fprintf(stderr, "usage: AutoUpdateV1 \"revision;program file name\"\n");
        return 2;
    }

    const QString base = UpdateBaseUrl(Site().updateServer);
    if (base.isEmpty())
        return 0; // no update server: nothing to look for

    AppError error;
    const QString latest = ReadUrlText(base + LastVerResourceName(program), &error);
    if (latest.trimmed().isEmpty())
        return fail(LastVerResourceName(program), error);

    const QString newCopy = AppPath(QStringLiteral("New_") + program);
    if (!IsNewerRevision(revision, latest)) {
        QFile::remove(newCopy);
        return 0;
    }
    QFile::remove(newCopy);
    switch (DownloadProgram(UpdateFileUrl(base, program), newCopy, AdvertisedRevision(latest),
                            Site().updateKey, &error)) {
    case ProgramDownload::Done:
        return 0;
    case ProgramDownload::Failed:
        return fail(program, error);
    case ProgramDownload::Refused:
        std::fprintf(stderr, "%s\n", qPrintable(error.description));
        return 3;
    }
    return 1;
}
