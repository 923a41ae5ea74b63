#include "records/ShotBox.h"

#include <QMouseEvent>
#include <QPainter>

QPixmap ShotPlaceholder()
{
    // Drawn with four device pixels a pixel, so that it stays sharp when a box shows it
    // larger or on a scaled screen.
    constexpr qreal kRatio = 4;
    QPixmap picture(QSize(160, 120) * kRatio);
    picture.setDevicePixelRatio(kRatio);
    picture.fill(QColor(236, 239, 242));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(170, 178, 186), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(48, 34, 64, 52), 4, 4);
    p.setBrush(QColor(170, 178, 186));
    p.drawEllipse(QPointF(66, 50), 5, 5);
    const QPointF mountains[] = {{52, 82}, {72, 62}, {84, 74}, {94, 66}, {108, 82}};
    p.drawPolygon(mountains, 5);
    return picture;
}

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

void ShotBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void ShotBox::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    rescale();
}

void ShotBox::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    rescale();
}

void ShotBox::rescale()
{
    // A box that is not on screen has no final size yet: it scales when it is shown.
    if (!isVisible())
        return;
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
