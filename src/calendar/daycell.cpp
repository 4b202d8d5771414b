#include "calendar/daycell.h"

#include <QKeyEvent>
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

void DayCell::setDay(const QDate& date, bool today, bool chosen)
{
    m_date = date;
    m_today = today;
    m_chosen = chosen;
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
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0xc8, 0x8a, 0x1e), 1.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
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

void DayCell::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        emit stepRequested(this, -1);
        break;
    case Qt::Key_Right:
        emit stepRequested(this, 1);
        break;
    case Qt::Key_Up:
        emit stepRequested(this, -7);
        break;
    case Qt::Key_Down:
        emit stepRequested(this, 7);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick();
        break;
    default:
        QLabel::keyPressEvent(event);
        return;
    }
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
