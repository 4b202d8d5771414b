#pragma once

#include <QPolygon>
#include <QSize>

// The outline of the login and settings windows: their artwork's frame, a rectangle with corners rounded to a
// 12-pixel radius. Cutting the window to it keeps the corners clear even where the desktop cannot blend translucent
// windows.
QPolygon roundedOutline(const QSize& size);
