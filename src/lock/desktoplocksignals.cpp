#include "lock/desktoplocksignals.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <array>

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");
const QString login1Path = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
// logind answers at once; a bus that does not answer soon is treated as having no logind.
constexpr int answerMilliseconds = 5000;

struct ScreenSaver
{
    const char* service;
    const char* path;
};

// Each service sends ActiveChanged from an interface of its own name; KDE's from two paths.
const std::array<ScreenSaver, 3> screenSavers = {{
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
    {"org.freedesktop.ScreenSaver", "/ScreenSaver"},
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
}};

} // namespace

DesktopLockSignals::DesktopLockSignals(const QDBusConnection& systemBus, const QDBusConnection& sessionBus,
                                       const QString& sessionId, QObject* parent)
    : QObject(parent), m_systemBus(systemBus), m_sessionBus(sessionBus)
{
    listenToScreenSavers();
    listenToLogind(sessionId);
}

void DesktopLockSignals::listenToScreenSavers()
{
    if (!m_sessionBus.isConnected()) {
        return;
    }
    for (const ScreenSaver& saver : screenSavers) {
        const QString service = QString::fromLatin1(saver.service);
        m_sessionBus.connect(service, QString::fromLatin1(saver.path), service, QStringLiteral("ActiveChanged"), this,
                             SLOT(screenSaverChanged(bool)));
    }
}

void DesktopLockSignals::listenToLogind(const QString& sessionId)
{
    if (!m_systemBus.isConnected()) {
        return;
    }
    m_systemBus.connect(login1, login1Path, managerInterface, QStringLiteral("PrepareForSleep"), this,
                        SLOT(sleepPrepared(bool)));
    askForSession(sessionId);
}

void DesktopLockSignals::askForSession(const QString& sessionId)
{
    const bool byName = !sessionId.isEmpty();
    QDBusMessage call =
        QDBusMessage::createMethodCall(login1, login1Path, managerInterface,
                                       byName ? QStringLiteral("GetSession") : QStringLiteral("GetSessionByPID"));
    call << (byName ? QVariant(sessionId) : QVariant::fromValue(quint32(QCoreApplication::applicationPid())));
    auto* watcher = new QDBusPendingCallWatcher(m_systemBus.asyncCall(call, answerMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, byName] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isValid()) {
            listenToSession(reply.value().path());
        } else if (byName) {
            // A session name left over from another login: this process's own session instead.
            askForSession(QString());
        }
    });
}

void DesktopLockSignals::listenToSession(const QString& path)
{
    m_sessionPath = path;
    m_systemBus.connect(login1, path, sessionInterface, QStringLiteral("Lock"), this, SLOT(sessionLocked()));
    emit sessionFound();
}

void DesktopLockSignals::sessionLocked()
{
    emit lockRequested();
}

void DesktopLockSignals::sleepPrepared(bool suspending)
{
    if (suspending) {
        emit lockRequested();
    }
}

void DesktopLockSignals::screenSaverChanged(bool active)
{
    if (active) {
        emit lockRequested();
    }
}
