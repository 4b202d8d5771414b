#pragma once

class QWidget;

// Asks the desktop to leave the window out of the taskbar and the pager, each time it is shown: a tool window of the
// main window is reached through the main window's own entry. Only X11 desktops take the hint (as the EWMH state
// _NET_WM_STATE_SKIP_TASKBAR); elsewhere the owner alone keeps the window off the taskbar.
void keepOutOfTaskbar(QWidget* window);
