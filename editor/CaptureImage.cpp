#include "editor/CaptureImage.h"

#include "editor/ShotNames.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace {

constexpr int kMaxTries = 1000;

QString freeName(const QString& path)
{
    if (!QFile::exists(path))
        return path;
    const QString stem = path.chopped(4); // ".jpg"
    for (int n = 2; n < kMaxTries; ++n) {
        const QString candidate = stem + QStringLiteral("_%1.jpg").arg(n);
        if (!QFile::exists(candidate))
            return candidate;
    }
    return {};
}

} // namespace

QString SaveCaptureImage(const QImage& image, const QString& captureDir, const QString& screenName,
                         const QDateTime& at, AppError& error)
{
    if (!QDir().mkpath(captureDir)) {
        error = {76, QStringLiteral("SaveCaptureImage"), QStringLiteral("Path not found: ") + captureDir};
        return {};
    }
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    const QString file = freeName(CaptureFilePath(captureDir, screenName, at));
    if (file.isEmpty() || !flat.save(file, "JPG", 100)) {
        error = {75, QStringLiteral("SaveCaptureImage"),
                 QStringLiteral("Path/File access error: ") + CaptureFilePath(captureDir, screenName, at)};
        if (!file.isEmpty())
            QFile::remove(file);
        return {};
    }
    return file;
}

bool IsJpegFile(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format() == "jpeg";
}
