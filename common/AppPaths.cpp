#include "common/AppPaths.h"

#include <QCoreApplication>

namespace {
QString& overrideDir()
{
    static QString dir;
    return dir;
}
} // namespace

QString AppDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return QCoreApplication::applicationDirPath();
}

QString AppPath(const QString& relative)
{
    return AppDir() + QLatin1Char('/') + relative;
}

QString CaptureDir()
{
    return AppPath(QStringLiteral("스샷"));
}

void SetAppDirForTesting(const QString& dir)
{
    overrideDir() = dir;
}
