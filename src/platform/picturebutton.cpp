#include "platform/picturebutton.h"

#include "platform/picture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The focus frame's colours: the artwork's gold and its darkest navy.
const QColor focusGold(0xf6, 0xd2, 0x7a);
const QColor focusEdge(0x0d, 0x14, 0x1c);

} // namespace

PictureButton::PictureButton(const QString& objectName, const QString& picture, const QString& toolTip, QWidget* parent)
    : QAbstractButton(parent), m_picture(picture)
{
    setObjectName(objectName);
    setToolTip(toolTip);
    setAccessibleName(toolTip.trimmed());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Picture::paint(painter, m_picture, rect());
    if (hasFocus() && m_focusShown) {
        paintFocusMark(painter);
    }
}

void PictureButton::paintFocusMark(QPainter& painter) const
{
    // Gold dashes on a dark line round the edge: one of the two shows on any picture, gold or dark.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect edge = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QPen(focusEdge, 1));
    painter.drawRect(edge);
    painter.drawRect(edge.adjusted(1, 1, -1, -1));
    QPen dashes(focusGold, 1, Qt::CustomDashLine);
    dashes.setDashPattern({2, 2});
    painter.setPen(dashes);
    painter.drawRect(edge);
    painter.drawRect(edge.adjusted(1, 1, -1, -1));
}

void PictureButton::showPressed()
{
    if (m_pressedLook && !m_pressed) {
        m_pressed = true;
        m_restingPosition = pos();
        move(pos() + QPoint(1, 1));
    }
}

void PictureButton::showResting()
{
    if (m_pressed) {
        m_pressed = false;
        move(m_restingPosition);
    }
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    // Any mouse button gives the pressed look; only the left one clicks.
    showPressed();
    QAbstractButton::mousePressEvent(event);
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    showResting();
    QAbstractButton::mouseReleaseEvent(event);
}

bool PictureButton::isPressKey(const QKeyEvent* event)
{
    const int key = event->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select;
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    if (!isPressKey(event)) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        m_focusShown = true;
        m_keyDown = true;
        setDown(true);
        showPressed();
    }
    event->accept();
}

void PictureButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!isPressKey(event)) {
        QAbstractButton::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || !m_keyDown) {
        return;
    }
    m_keyDown = false;
    setDown(false);
    showResting();
    click();
}

void PictureButton::focusInEvent(QFocusEvent* event)
{
    // A window opening gives its first control the focus: a mouse user has not asked for the mark there.
    m_focusShown = event->reason() != Qt::ActiveWindowFocusReason;
    QAbstractButton::focusInEvent(event);
}

void PictureButton::focusOutEvent(QFocusEvent* event)
{
    // The focus went elsewhere while a key held the button: nothing is pressed.
    if (m_keyDown) {
        m_keyDown = false;
        setDown(false);
        showResting();
    }
    QAbstractButton::focusOutEvent(event);
}
