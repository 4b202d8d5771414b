#include "lock/idlewatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

} // namespace

IdleWatcher::IdleWatcher(std::chrono::milliseconds limit, QObject* parent)
    : QObject(parent), m_limit(limit), m_timer(new QTimer(this))
{
    if (m_limit <= std::chrono::milliseconds::zero()) {
        return;
    }
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &IdleWatcher::check);
    m_sinceInput.start();
    m_timer->start(m_limit);
    // Qt drops the filter when the watcher goes.
    QCoreApplication::instance()->installEventFilter(this);
}

bool IdleWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (isInput(event->type())) {
        // Restarting the timer on every mouse move would cost more than looking at the clock when it runs out.
        m_sinceInput.restart();
        if (!m_timer->isActive()) {
            m_timer->start(m_limit);
        }
    }
    return QObject::eventFilter(watched, event);
}

void IdleWatcher::check()
{
    const auto left = m_limit - std::chrono::milliseconds(m_sinceInput.elapsed());
    if (left > std::chrono::milliseconds::zero()) {
        m_timer->start(left);
        return;
    }
    emit idle();
}
