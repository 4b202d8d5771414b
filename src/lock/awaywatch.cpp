#include "lock/awaywatch.h"

#include "lock/desktoplocksignals.h"
#include "lock/idlepreference.h"
#include "lock/idlewatcher.h"

AwayWatch::AwayWatch(QObject* parent) : QObject(parent)
{
    connect(new IdleWatcher(IdlePreference::read(), this), &IdleWatcher::idle, this, &AwayWatch::userAway);
    auto* desktop = new DesktopLockSignals(QDBusConnection::systemBus(), QDBusConnection::sessionBus(),
                                           qEnvironmentVariable("XDG_SESSION_ID"), this);
    connect(desktop, &DesktopLockSignals::lockRequested, this, &AwayWatch::userAway);
}
