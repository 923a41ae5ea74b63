#pragma once

#include <QLabel>
#include <QPixmap>

// An image box of the detail pane: shows its picture whole, scaled to the box with
// its proportions kept, and reports a click.
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

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rescale();

    QPixmap m_picture;
};
