#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window of the size stands centred on the screen's available area, raised by the pixels given, but never
// past its edges: on a screen too small for the window, its top-left corner (title bar and buttons) stays on the
// screen.
QPoint placeOnScreenCentre(const QRect& available, const QSize& size, int raised);
