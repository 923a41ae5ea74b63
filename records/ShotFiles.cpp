#include "records/ShotFiles.h"

#include "records/SharePath.h"

#include <QFileInfo>
#include <QImageReader>

QPixmap LoadShot(const QString& storedPath, AppError* error)
{
    return QPixmap::fromImage(LoadShotImage(storedPath, QSize(), error));
}

QImage LoadShotImage(const QString& storedPath, const QSize& bound, AppError* error)
{
    const QString path = LocalSharePath(storedPath);
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = {53, QStringLiteral("LoadPicture"), QStringLiteral("File not found")};
        return {};
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (bound.isValid() && size.isValid() && (size.width() > bound.width() || size.height() > bound.height()))
        reader.setScaledSize(size.scaled(bound, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull() && error)
        *error = {481, QStringLiteral("LoadPicture"), QStringLiteral("Invalid picture")};
    return image;
}

ShotOpen ShotOpenKind(const QString& storedPath)
{
    if (storedPath.isEmpty())
        return ShotOpen::Nothing;
    const QString e = storedPath.right(3).toLower();
    if (e == QLatin1String("jpg") || e == QLatin1String("gif") || e == QLatin1String("bmp"))
        return ShotOpen::DefaultProgram;
    return ShotOpen::FileManager;
}

QUrl ShotOpenUrl(const QString& storedPath)
{
    const QString path = LocalSharePath(storedPath);
    switch (ShotOpenKind(storedPath)) {
    case ShotOpen::Nothing:
        return {};
    case ShotOpen::DefaultProgram:
        return QUrl::fromLocalFile(path);
    case ShotOpen::FileManager:
        break;
    }
    const QFileInfo info(path);
    return QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}
