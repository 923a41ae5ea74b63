#include "records/SharePath.h"

#include "common/SiteConfig.h"

QString LocalSharePath(const QString& storedPath, const QString& shareHost, const QString& mountRoot)
{
    if (shareHost.isEmpty() || mountRoot.isEmpty() || !storedPath.startsWith(QLatin1String("\\\\")))
        return storedPath;
    const qsizetype hostEnd = storedPath.indexOf(QLatin1Char('\\'), 2);
    if (hostEnd < 0)
        return storedPath;
    if (storedPath.mid(2, hostEnd - 2).compare(shareHost, Qt::CaseInsensitive) != 0)
        return storedPath;
    QString rest = storedPath.mid(hostEnd + 1);
    if (rest.isEmpty())
        return storedPath;
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString root = mountRoot;
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root + QLatin1Char('/') + rest;
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
