#include "windows/FrmZoom_Image.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QScreen>

FrmZoom_Image::FrmZoom_Image(QWidget* parent)
    : QDialog(parent), m_picBig(new QLabel(this)), m_image1(new QLabel(this))
{
    setObjectName(QStringLiteral("FrmZoom_Image"));
    setWindowTitle(QStringLiteral("이미지확대"));
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("FrmMain")) {
            setWindowIcon(w->windowIcon());
            break;
        }
    }
    m_picBig->setObjectName(QStringLiteral("picBig"));
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setScaledContents(true);
    m_image1->move(0, 0);
    m_image1->hide();
    m_image1->installEventFilter(this);
    resize(640, 480);
}

void FrmZoom_Image::setPicture(const QPixmap& picture)
{
    // One picture pixel on one pixel of the screen, so that a screenshot stays sharp on a scaled screen.
    QPixmap shown = picture;
    shown.setDevicePixelRatio(devicePixelRatioF());
    m_picBig->setPixmap(shown);
    m_picBig->resize(shown.deviceIndependentSize().toSize());
    QSize size = m_picBig->size().expandedTo(QSize(320, 240));
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableSize());
    resize(size);
    placePicture();
}

void FrmZoom_Image::showPicture(QWidget* parent, const QPixmap& picture)
{
    if (picture.isNull())
        return;
    FrmZoom_Image window(parent);
    window.setPicture(picture);
    window.exec();
}

void FrmZoom_Image::placePicture()
{
    if (isMinimized())
        return;
    const QSize inner = size();
    m_image1->resize(inner);
    const QSize picture = m_picBig->size();
    if (picture.width() <= inner.width() || picture.height() <= inner.height()) {
        m_image1->hide();
        m_picBig->show();
        m_picBig->move((inner.width() - picture.width()) / 2, (inner.height() - picture.height()) / 2);
        return;
    }
    const QPixmap stretched = m_picBig->pixmap();
    if (m_image1->pixmap().cacheKey() != stretched.cacheKey())
        m_image1->setPixmap(stretched);
    m_picBig->hide();
    m_image1->show();
}

void FrmZoom_Image::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placePicture();
}

void FrmZoom_Image::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    placePicture();
}

bool FrmZoom_Image::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_image1 && event->type() == QEvent::MouseButtonDblClick) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
