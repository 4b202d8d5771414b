#include "platform/windowshape.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QWidget>

void applyWindowOutline(QWidget* window, const QList<QPoint>& outline)
{
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setMask(QRegion(QPolygon(outline), Qt::OddEvenFill));
}

void clipToOutline(QPainter& painter, const QWidget* window)
{
    painter.setClipRegion(window->mask());
}
