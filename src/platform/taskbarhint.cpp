#include "platform/taskbarhint.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#ifdef KEYHOUND_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

#ifdef KEYHOUND_XCB
xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// Written before the window is mapped; Qt keeps states it does not set itself when it adds its own.
void setSkipStates(QWidget* window)
{
    // Other platforms, the offscreen one among them, may answer for X11 without an X11 connection behind it.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return;
    }
    const xcb_atom_t states[] = {internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 internAtom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        internAtom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 2, states);
    xcb_flush(connection);
}
#else
void setSkipStates(QWidget*) {}
#endif

// The window manager drops the states when the window is hidden, so they are written again before every showing.
class TaskbarHint : public QObject
{
public:
    explicit TaskbarHint(QWidget* window) : QObject(window) { window->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            setSkipStates(static_cast<QWidget*>(watched));
        }
        return false;
    }
};

} // namespace

void keepOutOfTaskbar(QWidget* window)
{
    new TaskbarHint(window);
}
