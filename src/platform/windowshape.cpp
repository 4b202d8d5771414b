#include "platform/windowshape.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>

void applyWindowOutline(QWidget* window, const QPolygon& outline)
{
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setMask(QRegion(outline, Qt::OddEvenFill));
}

void clipToOutline(QPainter& painter, const QWidget* window)
{
    painter.setClipRegion(window->mask());
}
