#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets the user drag a borderless window by its own surface: a press on the window background (never on one of its
// controls) starts the drag, the window follows the pointer while the button is held, and dragFinished() is
// emitted when the button is released.
class WindowDragger : public QObject
{
    Q_OBJECT

public:
    explicit WindowDragger(QWidget* window);

signals:
    void dragFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool startsDrag(const QPoint& position) const;

    QWidget* m_window;
    QPoint m_pressOffset;
    bool m_dragging = false;
};
