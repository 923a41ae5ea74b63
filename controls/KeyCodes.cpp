#include "controls/KeyCodes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace keys {

int keyCode(const QKeyEvent* event)
{
    const int key = event->key();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kReturn;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Hangul_Hanja:
        return 25;
    case Qt::Key_Hangul:
        return 21;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return kLeft;
    case Qt::Key_Up:
        return kUp;
    case Qt::Key_Right:
        return kRight;
    case Qt::Key_Down:
        return kDown;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return kDelete;
    case Qt::Key_Asterisk:
        return keypad ? 106 : 56;
    case Qt::Key_Plus:
        return keypad ? 107 : 187;
    case Qt::Key_Minus:
        return keypad ? 109 : 189;
    case Qt::Key_Period:
        return keypad ? kDecimal : kPeriod;
    case Qt::Key_Slash:
        return keypad ? 111 : 191;
    case Qt::Key_Semicolon:
        return 186;
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_QuoteLeft:
        return 192;
    case Qt::Key_BracketLeft:
        return 219;
    case Qt::Key_Backslash:
        return 220;
    case Qt::Key_BracketRight:
        return 221;
    case Qt::Key_Apostrophe:
        return 222;
    default:
        return 0;
    }
}

int shiftMask(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers m = event->modifiers();
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

int keyAscii(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return kBack;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kReturn;
    default:
        break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return -1;
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    const uint c = text.toUcs4().value(0);
    return c < 0x20 || c == 0x7F ? -1 : int(c);
}

void SendTab(QWidget* from, bool backward)
{
    if (!from)
        return;
    QKeyEvent tab(QEvent::KeyPress, backward ? Qt::Key_Backtab : Qt::Key_Tab,
                  backward ? Qt::ShiftModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(from, &tab);
}

} // namespace keys
