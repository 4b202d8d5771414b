#include "platform/windowdragger.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

WindowDragger::WindowDragger(QWidget* window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

bool WindowDragger::startsDrag(const QPoint& position) const
{
    // Children that only decorate the window let their presses through; they still count as background.
    const QWidget* child = m_window->childAt(position);
    return child == nullptr || child->testAttribute(Qt::WA_TransparentForMouseEvents);
}

bool WindowDragger::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!startsDrag(mouse->position().toPoint())) {
            return false;
        }
        // A Wayland window cannot place itself: there the compositor moves it and reports nothing back.
        if (QGuiApplication::platformName() == QLatin1String("wayland") && m_window->windowHandle() &&
            m_window->windowHandle()->startSystemMove()) {
            emit dragFinished();
            return true;
        }
        m_dragging = true;
        m_pressOffset = mouse->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            m_window->move(mouse->globalPosition().toPoint() - m_pressOffset);
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            m_dragging = false;
            emit dragFinished();
            return true;
        }
        return false;
    default:
        return false;
    }
}
