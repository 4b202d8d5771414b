#include "info/linklabel.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& objectName, const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setObjectName(objectName);
    setToolTip(QLatin1Char(' ') + caption + QLatin1Char(' '));
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}
