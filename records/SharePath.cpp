#include "records/SharePath.h"

#include "common/SiteConfig.h"

#include <QRegularExpression>

namespace {

// The parts of `rest` (what follows "\\host\") as the file server reads them: "\" and
// "/" both separate, "." stays, ".." climbs but never above the share itself.
QStringList uncParts(const QString& rest)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QStringList parts;
    for (const QString& part : rest.split(separators, Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (parts.size() > 1)
                parts.removeLast();
            continue;
        }
        parts << part;
    }
    return parts;
}

} // namespace

QString LocalSharePath(const QString& storedPath, const QString& shareHost, const QString& mountRoot)
{
    if (shareHost.isEmpty() || mountRoot.isEmpty() || !storedPath.startsWith(QLatin1String("\\\\")))
        return storedPath;
    const qsizetype hostEnd = storedPath.indexOf(QLatin1Char('\\'), 2);
    if (hostEnd < 0)
        return storedPath;
    if (storedPath.mid(2, hostEnd - 2).compare(shareHost, Qt::CaseInsensitive) != 0)
        return storedPath;
    const QStringList parts = uncParts(storedPath.mid(hostEnd + 1));
    if (parts.isEmpty())
        return storedPath;
    QString root = mountRoot;
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

QString LocalSharePath(const QString& storedPath)
{
#ifdef Q_OS_WIN
    return storedPath;
#else
    const SiteConfig& site = Site();
    return LocalSharePath(storedPath, site.shareHost, site.mountRoot);
#endif
}

QString StoredShotFolder(const QString& shareHost)
{
    return QStringLiteral("\\\\") + shareHost + QStringLiteral("\\사내문서\\7_AS스샷");
}

QString StoredShotFolder()
{
    const QString host = Site().shareHost;
    return host.isEmpty() ? QString() : StoredShotFolder(host);
}
