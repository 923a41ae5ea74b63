#include "X11Window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

X11Display::X11Display() : m_display(XOpenDisplay(nullptr)) {}

X11Display::~X11Display()
{
    if (m_display)
        XCloseDisplay(m_display);
}

unsigned long X11Display::findWindow(const QString& titleStart)
{
    const Atom name = XInternAtom(m_display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(m_display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_display, children[i], name, 0, 1024, False, utf8, &type, &format, &items,
                               &after, &data) == Success &&
            data) {
            if (QString::fromUtf8(reinterpret_cast<const char*>(data), int(items)).startsWith(titleStart))
                found = children[i];
            XFree(data);
        }
    }
    if (children)
        XFree(children);
    return found;
}

void X11Display::moveResize(unsigned long window, int x, int y, int width, int height)
{
    XMoveResizeWindow(m_display, window, x, y, unsigned(width), unsigned(height));
    XSync(m_display, False);
}

void X11Display::askToClose(unsigned long window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XSync(m_display, False);
}
