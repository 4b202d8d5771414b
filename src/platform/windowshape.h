#pragma once

#include <QList>
#include <QPoint>

class QPainter;
class QWidget;

// Cuts a window to the inside of the polygon (even-odd fill): only the inside is drawn and receives the mouse.
// Where the window system does not cut the picture (Wayland), the window is transparent outside the outline as long
// as it paints with clipToOutline().
void applyWindowOutline(QWidget* window, const QList<QPoint>& outline);
// Keeps the painter inside the window's outline.
void clipToOutline(QPainter& painter, const QWidget* window);
