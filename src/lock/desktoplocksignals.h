#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// Listens for the desktop saying that its user went away: logind locking the user's session or about to suspend
// the machine, on the system bus, and a screen saver turning on (org.freedesktop.ScreenSaver, as KDE and others
// name it, or org.gnome.ScreenSaver), on the session bus. Only signals sent by the owners of those names count. A
// bus that cannot be reached is left out, and so is logind when it does not know the session.
class DesktopLockSignals : public QObject
{
    Q_OBJECT

public:
    // sessionId is logind's name for the session (XDG_SESSION_ID); when empty or unknown, the session is the one
    // this process belongs to.
    DesktopLockSignals(const QDBusConnection& systemBus, const QDBusConnection& sessionBus, const QString& sessionId,
                       QObject* parent = nullptr);

    // The user's session's object path at logind, once it has answered; empty until then or without an answer.
    QString sessionPath() const { return m_sessionPath; }

signals:
    void lockRequested();
    // logind has answered with the session's path.
    void sessionFound();

private slots:
    void sessionLocked();
    void sleepPrepared(bool suspending);
    void screenSaverChanged(bool active);

private:
    void listenToScreenSavers();
    void listenToLogind(const QString& sessionId);
    void askForSession(const QString& sessionId);
    void listenToSession(const QString& path);

    QDBusConnection m_systemBus;
    QDBusConnection m_sessionBus;
    QString m_sessionPath;
};
