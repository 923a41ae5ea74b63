// The record editor's screenshots: capture, attach, select, enlarge and delete.
#include "common/AppPaths.h"
#include "common/Cp949.h"
#include "common/MsgBox.h"
#include "controls/HCText.h"
#include "editor/CaptureImage.h"
#include "editor/DesktopCapture.h"
#include "editor/FrmAS.h"
#include "editor/PictureDialog.h"
#include "editor/ShotCopy.h"
#include "records/FrmMain.h"
#include "records/MainCommands.h"
#include "records/ShotBox.h"
#include "records/ShotFiles.h"
#include "windows/FrmZoom_Image.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

// Time for the window system to take the program's windows off the screen.
constexpr int kSettleMs = 400;

void letWindowsSettle()
{
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void showFormError(const AppError& error, const char* procedure)
{
    ShowProcError(error, QLatin1String(procedure), ErrScope::Form, QStringLiteral("FrmAS"));
}

} // namespace

void FrmAS::showSlot(int slot, const QString& path, const QPixmap& picture)
{
    m_tags[slot] = path;
    imgShot[slot]->setPicture(picture.isNull() ? imgBase->pixmap() : picture);
}

void FrmAS::clearSlot(int slot)
{
    showSlot(slot, QString(), QPixmap());
}

void FrmAS::Screen_Shot(int index)
{
    if (index == 0 && htField[0]->Text().isEmpty()) {
        MsgBox(QStringLiteral("화면명칭을 입력하여 주십시요"));
        htField[0]->setFocus();
        return;
    }
    if (MsgBox(QStringLiteral("지금 스크린샷을 찍을까요?"), MsgButtons::YesNo, MsgIcon::Question) != vbYes)
        return;

    // The program's windows leave the screen for the capture.
    m_main->showMinimized();
    showMinimized();
    letWindowsSettle();

    AppError error;
    const QString folder = CaptureDir();
    const QString file = CaptureFilePath(folder, htField[0]->Text(), QDateTime::currentDateTime());
    QPixmap picture;
    if (!QDir().mkpath(folder))
        error = {76, QStringLiteral("Screen_Shot"), QStringLiteral("Path not found: ") + folder};
    else if (QFile::exists(file) && !QFile::remove(file))
        error = {75, QStringLiteral("Screen_Shot"), QStringLiteral("Path/File access error: ") + file};
    else if (CaptureDesktop(file, &error))
        picture = QPixmap::fromImage(LoadShotImage(file, kSlotPicture, &error));
    showNormal();
    raise();
    activateWindow();
    if (picture.isNull())
        return showFormError(error, "Screen_Shot");

    showSlot(TargetSlot(m_tags, index), file, picture);
    m_main->showMaximized();
    QCoreApplication::processEvents();
    MsgBox(QStringLiteral("스샷을 찍었습니다!\r\n\r\n") + file);
}

void FrmAS::btnAppend_Click(int index)
{
    const QString path = OpenPictureDialog(QStringLiteral("스샷 이미지(그림) 선택"), QString(), QString());
    if (!path.isEmpty())
        AttachPicture(index, path);
}

void FrmAS::AttachPicture(int index, const QString& path)
{
    const int length = cp949::byteLength(path);
    if (length > kMaxAttachPathBytes) {
        MsgInfo(QStringLiteral("이미지 경로가 너무 깁니다. 최대 100자까지 허용됩니다. 현재길이:") +
                QString::number(length) + QStringLiteral("\r\n\r\n") + path);
        return;
    }
    AppError error;
    if (!QFileInfo(path).isFile()) {
        LoadShotImage(path, kSlotPicture, &error);
        return showFormError(error, "btnAppend_Click");
    }
    // A JPEG is kept where it is until the save; any other picture becomes a capture.
    QString file = path;
    if (!IsJpegFile(path)) {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (image.isNull()) {
            MsgInfo(QStringLiteral("그림 파일이 아니어서 붙일 수 없습니다. BMP, JPG, GIF, PNG 그림을 "
                                   "선택하여 주십시요.\r\n\r\n") +
                    path);
            return;
        }
        file = SaveCaptureImage(image, CaptureDir(), htField[0]->Text(), QDateTime::currentDateTime(), error);
        if (file.isEmpty())
            return showFormError(error, "btnAppend_Click");
    }
    const QPixmap picture = QPixmap::fromImage(LoadShotImage(file, kSlotPicture, &error));
    if (picture.isNull())
        return showFormError(error, "btnAppend_Click");
    showSlot(TargetSlot(m_tags, index), file, picture);
}

int FrmAS::HalfOf(const QWidget* widget) const
{
    for (int half = 0; half < 2; ++half) {
        const QWidget* frame = half == 0 ? static_cast<QWidget*>(fraQuestion) : fraAnswer;
        if (widget && (widget == frame || frame->isAncestorOf(widget)))
            return half;
    }
    return -1;
}

bool FrmAS::PastePicture()
{
    const QImage image = QGuiApplication::clipboard()->image();
    // Outside both halves the question's half takes it, as its buttons come first.
    const int half = std::max(0, HalfOf(QApplication::focusWidget()));
    if (image.isNull() || !btnAppend[half]->isEnabled())
        return false;
    AppError error;
    const QString file =
        SaveCaptureImage(image, CaptureDir(), htField[0]->Text(), QDateTime::currentDateTime(), error);
    const QPixmap picture = file.isEmpty() ? QPixmap() : LoadShot(file, &error);
    if (picture.isNull()) {
        showFormError(error, "PastePicture");
        return true;
    }
    showSlot(TargetSlot(m_tags, half), file, picture);
    return true;
}

namespace {

// The picture files among dropped data.
QStringList droppedPictures(const QMimeData* data)
{
    QStringList out;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QImageReader(url.toLocalFile()).canRead())
            out << url.toLocalFile();
    return out;
}

bool isPasteKey(QEvent* event)
{
    return (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
           static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste);
}

// Esc looking for a shortcut while a drop-down list of the window is open. The list closes
// itself at that moment, so the key would then find the window's Esc and close the window.
bool isEscOnOpenList(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride ||
        !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && QApplication::activePopupWidget() == widget->window();
}

} // namespace

bool FrmAS::eventFilter(QObject* watched, QEvent* event)
{
    // Esc on an open list closes the list only.
    if (isEscOnOpenList(watched, event)) {
        event->accept();
        return false;
    }
    // A text box pastes text when the clipboard has some; a picture goes to the half.
    const QMimeData* clip = isPasteKey(event) ? QGuiApplication::clipboard()->mimeData() : nullptr;
    const bool textBox = watched->inherits("QPlainTextEdit") || watched->inherits("QLineEdit");
    if (clip && clip->hasImage() && !(textBox && clip->hasText())) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            PastePicture();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmAS::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedPictures(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void FrmAS::dropEvent(QDropEvent* event)
{
    const int half = HalfOf(childAt(event->position().toPoint()));
    if (half < 0 || !btnAppend[half]->isEnabled())
        return;
    event->acceptProposedAction();
    for (const QString& path : droppedPictures(event->mimeData()))
        AttachPicture(half, path);
}

void FrmAS::selectSlot(int slot)
{
    m_nShotSel = slot;
    for (int i = 0; i < kShotSlots; ++i)
        optSelect[i]->setChecked(i == slot);
}

void FrmAS::imgShot_Click(int index)
{
    selectSlot(index);
}

void FrmAS::imgShot_DblClick(int index)
{
    selectSlot(index);
    const QPixmap whole = m_tags[index].isEmpty() ? QPixmap() : LoadShot(m_tags[index], nullptr);
    FrmZoom_Image::showPicture(this, whole.isNull() ? imgShot[index]->picture() : whole);
}

// Both delete buttons act on the selected slot, in whichever half the user may change.
void FrmAS::btnShotDel_Click(int /*index*/)
{
    if (MsgBox(QStringLiteral("스크린샷을 삭제하시겠습니까?"), MsgButtons::YesNo, MsgIcon::Question) != vbYes)
        return;
    const auto fail = [] { MsgBox(QStringLiteral(" 이미지를 클릭 후 삭제를 눌러 주십시요.")); };
    const int slot = m_nShotSel;
    if (slot < 0 || slot >= kShotSlots || m_tags[slot].isEmpty() ||
        !btnShotDel[HalfOfSlot(slot)]->isEnabled())
        return fail();
    const QString path = m_tags[slot];
    clearSlot(slot);
    // A path whose folder cannot be reached from here (a share that is not mounted).
    const QString local = ReachablePath(path);
    if (local.isEmpty() || !QFileInfo(QFileInfo(local).absolutePath()).isDir())
        return fail();
    // Only the program's own files go: a capture or a stored screenshot, never a picture
    // the user attached from elsewhere.
    const QString file = OwnedShotFile(path);
    if (!file.isEmpty() && !QFile::remove(file))
        return fail();
    selectSlot(kNoShotSelected);
}
