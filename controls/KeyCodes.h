#pragma once

class QKeyEvent;
class QWidget;

// Keys as the entry controls report them to their hosts: the classic virtual-key
// codes (Enter 13, Left 37, Up 38, Right 39, Down 40, Delete 46, "." 190 and on
// the numeric pad 110) and the shift mask (1 Shift, 2 Ctrl, 4 Alt).
namespace keys {

inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kDelete = 46;
inline constexpr int kDecimal = 110;
inline constexpr int kPeriod = 190;

int keyCode(const QKeyEvent* event);
int shiftMask(const QKeyEvent* event);

// The character the key types (8 for Backspace, 13 for Enter), or -1 for a key
// that types nothing (arrows, Delete, shortcuts with Ctrl or Alt).
int keyAscii(const QKeyEvent* event);

// Moves the focus on from `from` as the Tab key (or Shift+Tab) would.
void SendTab(QWidget* from, bool backward = false);

} // namespace keys
