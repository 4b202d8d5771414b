#include "calendar/daycell.h"

#include <QMouseEvent>
#include <QPainter>

DayCell::DayCell(const QString& objectName, int index, QWidget* parent) : QLabel(blankCaption(), parent), m_index(index)
{
    setObjectName(objectName);
    setProperty("Index", index);
    setAlignment(Qt::AlignCenter);
}

void DayCell::setOpaque(bool opaque)
{
    m_opaque = opaque;
    update();
}

void DayCell::setBackColour(const QColor& colour)
{
    m_backColour = colour;
    update();
}

void DayCell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_opaque) {
        painter.setPen(m_backColour.darker(135));
        painter.setBrush(m_backColour);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    // The caption's leading space only marks a day; the number itself is centred.
    painter.drawText(rect(), Qt::AlignCenter, text().trimmed());
}

void DayCell::mousePressEvent(QMouseEvent* event)
{
    emit pressed(this);
    event->accept();
}

void DayCell::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(this);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked(this);
    }
    event->accept();
}
