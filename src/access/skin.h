#pragma once

#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// What the login and settings windows share of their look: labels placed on the artwork, pictures drawn from it and
// the rounded frame.
namespace Skin {

// Fonts and the text boxes: parchment white, a thin frame that turns amber with the focus, "*" for masked text.
QString styleSheet();

QLabel* addLabel(const QString& name, const QString& text, const QRect& place, QWidget* window);
// A label showing an SVG of the artwork, drawn for the screen's pixel density so that it stays sharp.
QLabel* addPicture(const QString& name, const QString& picture, const QRect& place, QWidget* window);

// The frame of the artwork, a rectangle with corners rounded to a 12-pixel radius. Cutting the window to it keeps the
// corners clear even where the desktop cannot blend translucent windows.
QPolygon roundedOutline(const QSize& size);

} // namespace Skin
