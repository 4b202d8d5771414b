#pragma once

#include <QAbstractButton>
#include <QString>

// A button drawn from a picture of the window artwork, with a tool tip and, where asked for, the pressed look: while
// a mouse button is held on it the picture sits one pixel (15 twips) lower and further right, and it returns to its
// place on release.
class PictureButton : public QAbstractButton
{
    Q_OBJECT

public:
    // picture names an SVG of the artwork, such as "button-close" for ":/art/button-close.svg".
    PictureButton(const QString& objectName, const QString& picture, const QString& toolTip, QWidget* parent);

    void setPicture(const QString& picture);
    void setPressedLook(bool enabled) { m_pressedLook = enabled; }
    // Where the button sits while it is not pressed.
    QPoint restingPosition() const { return m_pressed ? m_restingPosition : pos(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_picture;
    bool m_pressedLook = false;
    bool m_pressed = false;
    QPoint m_restingPosition;
};
