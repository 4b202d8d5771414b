#pragma once

#include <QAbstractButton>
#include <QString>

// A button drawn from a picture of the window artwork, with a tool tip and, where asked for, the pressed look: while
// a mouse button, Space or Enter is held on it the picture sits one pixel (15 twips) lower and further right, and it
// returns to its place on release. Tab reaches it (a click does not take the focus from where the user works); Space
// or Enter presses it, and a frame in the artwork's colours marks it while it has the focus. Screen readers name it
// by its tool tip's words.
class PictureButton : public QAbstractButton
{
    Q_OBJECT

public:
    // picture names an SVG of the artwork, such as "button-close" for ":/art/button-close.svg".
    PictureButton(const QString& objectName, const QString& picture, const QString& toolTip, QWidget* parent);

    void setPressedLook(bool enabled) { m_pressedLook = enabled; }
    // Where the button sits while it is not pressed.
    QPoint restingPosition() const { return m_pressed ? m_restingPosition : pos(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static bool isPressKey(const QKeyEvent* event);
    void showPressed();
    void showResting();
    void paintFocusMark(QPainter& painter) const;

    QString m_picture;
    bool m_pressedLook = false;
    bool m_pressed = false;
    // Space or Enter went down on the button and has not come up yet.
    bool m_keyDown = false;
    // The focus came from the user's keys or the program, not merely with a window that opened or came forward.
    bool m_focusShown = false;
    QPoint m_restingPosition;
};
