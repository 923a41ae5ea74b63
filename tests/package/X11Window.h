#pragma once

#include <QString>

// The test's hand on the X display, doing what a window manager does for a user: find a
// top-level window by the start of its title, move and resize it, ask it to close.
class X11Display
{
public:
    X11Display();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    bool ok() const { return m_display != nullptr; }
    // A mapped top-level window whose title starts with `titleStart`; 0 when none.
    unsigned long findWindow(const QString& titleStart);
    void moveResize(unsigned long window, int x, int y, int width, int height);
    // Sends WM_DELETE_WINDOW, as the window's close button does.
    void askToClose(unsigned long window);

private:
    struct _XDisplay* m_display = nullptr;
};
