#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// What the login and settings windows share of their look: labels placed on the artwork and pictures drawn from it.
namespace Skin {

// Fonts, tool tips on parchment, and the text boxes: parchment white, a thin frame that turns amber with the focus,
// "*" for masked text.
QString styleSheet();

QLabel* addLabel(const QString& name, const QString& text, const QRect& place, QWidget* window);
// A label showing an SVG of the artwork, drawn for the screen's pixel density so that it stays sharp.
QLabel* addPicture(const QString& name, const QString& picture, const QRect& place, QWidget* window);

} // namespace Skin
