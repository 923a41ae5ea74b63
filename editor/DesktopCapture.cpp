#include "editor/DesktopCapture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

bool CaptureDesktop(const QString& path, AppError* error)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    QRect desktop;
    for (const QScreen* screen : screens)
        desktop |= screen->geometry();
    if (desktop.isEmpty()) {
        *error = {481, QStringLiteral("getDesktop"), QStringLiteral("Invalid picture")};
        return false;
    }
    QImage picture(desktop.size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        for (QScreen* screen : screens) {
            const QPixmap shot = screen->grabWindow(0);
            painter.drawPixmap(
                QRect(screen->geometry().topLeft() - desktop.topLeft(), screen->geometry().size()), shot);
        }
    }
    if (!picture.save(path, "JPEG", 100)) {
        *error = {75, QStringLiteral("getDesktop"), QStringLiteral("Path/File access error: ") + path};
        return false;
    }
    return true;
}
