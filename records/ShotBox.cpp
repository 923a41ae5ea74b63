#include "records/ShotBox.h"

#include <QMouseEvent>

ShotBox::ShotBox(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    setCursor(Qt::PointingHandCursor);
}

void ShotBox::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    rescale();
}

QSize ShotBox::sizeHint() const
{
    return {200, 150};
}

QSize ShotBox::minimumSizeHint() const
{
    return {80, 60};
}

void ShotBox::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ShotBox::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    rescale();
}

void ShotBox::rescale()
{
    const QSize inner = contentsRect().size();
    if (m_picture.isNull() || inner.isEmpty()) {
        setPixmap(m_picture);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap scaled = m_picture.scaled(inner * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    setPixmap(scaled);
}
