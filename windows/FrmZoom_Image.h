#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

// Shows one screenshot large: at its natural size and centred, or stretched to the window
// when it is larger than the window in both directions. Esc closes it, and so does a
// double-click on the stretched picture.
//
//     FrmZoom_Image::showPicture(this, imgShot->pixmap());
class FrmZoom_Image : public QDialog
{
    Q_OBJECT

public:
    explicit FrmZoom_Image(QWidget* parent = nullptr);

    // Hands the window its picture; the window takes a size that shows it whole where the
    // screen allows.
    void setPicture(const QPixmap& picture);

    // Opens the window modally over `parent` with the picture; an empty picture opens nothing.
    static void showPicture(QWidget* parent, const QPixmap& picture);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placePicture();

    QLabel* m_picBig; // the picture at its own size
    QLabel* m_image1; // the picture stretched to the window
};
