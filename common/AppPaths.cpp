#include "common/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString& overrideDir()
{
    static QString dir;
    return dir;
}

// The data folder chosen for the present program folder; empty until first asked.
QString& chosenDataDir()
{
    static QString dir;
    return dir;
}

QString perUserDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/asmanager");
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

bool IsAppDirWritable()
{
    return DataDir() == AppDir();
}

QString DataDir()
{
    QString& dir = chosenDataDir();
    if (dir.isEmpty()) {
        // Decided once, so that one run never spreads its files over two folders.
        if (QFileInfo(AppDir()).isWritable()) {
            dir = AppDir();
        } else {
            dir = perUserDataDir();
            QDir().mkpath(dir);
        }
    }
    return dir;
}

QString DataPath(const QString& relative)
{
    return DataDir() + QLatin1Char('/') + relative;
}

QString CaptureDir()
{
    return DataPath(QStringLiteral("스샷"));
}

void SetAppDirForTesting(const QString& dir)
{
    overrideDir() = dir;
    chosenDataDir().clear();
}
