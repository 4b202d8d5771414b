#include "platform/firstpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

FirstPaint::FirstPaint(std::function<void()> work) : QObject(QCoreApplication::instance()), m_work(std::move(work))
{
    QCoreApplication::instance()->installEventFilter(this);
}

void FirstPaint::then(std::function<void()> work)
{
    new FirstPaint(std::move(work));
}

bool FirstPaint::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint && m_work) {
        // After the paint, and after its picture has gone to the screen.
        QTimer::singleShot(0, QCoreApplication::instance(), std::exchange(m_work, nullptr));
        deleteLater();
    }
    return false;
}
