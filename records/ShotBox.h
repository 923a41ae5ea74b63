#pragma once

#include <QLabel>
#include <QPixmap>

// The picture an image box shows where a record has no screenshot.
QPixmap ShotPlaceholder();

// An image box for a screenshot: shows its picture whole, scaled to the box with its
// proportions kept, and reports clicks and double-clicks.
class ShotBox : public QLabel
{
    Q_OBJECT

public:
    explicit ShotBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void rescale();

    QPixmap m_picture;
};
