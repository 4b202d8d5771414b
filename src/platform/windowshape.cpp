#include "platform/windowshape.h"

#include <QRegion>
#include <QWidget>

void applyWindowOutline(QWidget* window, const QPolygon& outline)
{
    window->setMask(QRegion(outline, Qt::OddEvenFill));
}
