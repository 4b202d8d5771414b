#include "platform/picturebutton.h"

#include "platform/picture.h"

#include <QMouseEvent>
#include <QPainter>

PictureButton::PictureButton(const QString& objectName, const QString& picture, const QString& toolTip, QWidget* parent)
    : QAbstractButton(parent), m_picture(picture)
{
    setObjectName(objectName);
    setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::setPicture(const QString& picture)
{
    m_picture = picture;
    update();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Picture::paint(painter, m_picture, rect());
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    // Any mouse button gives the pressed look; only the left one clicks.
    if (m_pressedLook && !m_pressed) {
        m_pressed = true;
        m_restingPosition = pos();
        move(pos() + QPoint(1, 1));
    }
    QAbstractButton::mousePressEvent(event);
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressed) {
        m_pressed = false;
        move(m_restingPosition);
    }
    QAbstractButton::mouseReleaseEvent(event);
}
