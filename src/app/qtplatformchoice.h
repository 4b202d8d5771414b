#pragma once

#include <QProcessEnvironment>
#include <QString>

// The Qt platform the program asks for, from the environment it was started in. The program shapes and places its
// windows itself, which a Wayland compositor does not allow: in a Wayland session with XWayland it runs through
// XWayland ("xcb"). An empty result leaves Qt's own choice, and a platform the user chose is never overridden.
QString qtPlatformFor(const QProcessEnvironment& environment);

// Applies the choice to this process; must run before the application object is made.
void chooseQtPlatform();
