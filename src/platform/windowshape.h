#pragma once

#include <QPolygon>

class QWidget;

// Cuts a window to the inside of the polygon (even-odd fill): only the inside is drawn and receives the mouse.
void applyWindowOutline(QWidget* window, const QPolygon& outline);
