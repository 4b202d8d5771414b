// Stands in for logind on a bus standing in for the system bus, and for the screen savers on a session bus, for
// tests and for trying the lock by hand:
//
//     keyhound_desktopbus SYSTEM-BUS-ADDRESS SESSION-BUS-ADDRESS
//
// It owns org.freedesktop.login1, org.freedesktop.ScreenSaver and org.gnome.ScreenSaver, answers logind's
// GetSessionByPID (for any process) and GetSession (for the session "c7" only), prints "ready" and then reads one
// command a line, sends its signal and prints "sent" once the bus has it:
//
//     lock          org.freedesktop.login1.Session.Lock on the session of GetSessionByPID
//     lock-named    the same on the session "c7"
//     lock-other    the same on another user's session
//     lock-forged   the same on the session of GetSessionByPID, from a sender that does not own the name
//     sleep, wake   org.freedesktop.login1.Manager.PrepareForSleep(true), (false)
//     freedesktop-on, freedesktop-off, kde-on, gnome-on, gnome-off
//                   ActiveChanged(true or false) of org.freedesktop.ScreenSaver, KDE's /ScreenSaver path,
//                   org.gnome.ScreenSaver

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
#include <map>
#include <unistd.h>

namespace {

const QString processSession = QStringLiteral("/org/freedesktop/login1/session/_31");
const QString namedSession = QStringLiteral("/org/freedesktop/login1/session/c7");

struct Signal
{
    // Which bus, and whether from the owner of the service name.
    bool systemBus;
    bool forged;
    QString path;
    QString interface;
    QString name;
    QVariantList arguments;
};

std::map<QString, Signal> commands()
{
    const QString session = QStringLiteral("org.freedesktop.login1.Session");
    const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
    const QString freedesktop = QStringLiteral("org.freedesktop.ScreenSaver");
    const QString gnome = QStringLiteral("org.gnome.ScreenSaver");
    const QString lock = QStringLiteral("Lock");
    const QString sleep = QStringLiteral("PrepareForSleep");
    const QString active = QStringLiteral("ActiveChanged");
    return {
        {QStringLiteral("lock"), {true, false, processSession, session, lock, {}}},
        {QStringLiteral("lock-named"), {true, false, namedSession, session, lock, {}}},
        {QStringLiteral("lock-other"),
         {true, false, QStringLiteral("/org/freedesktop/login1/session/_32"), session, lock, {}}},
        {QStringLiteral("lock-forged"), {true, true, processSession, session, lock, {}}},
        {QStringLiteral("sleep"), {true, false, QStringLiteral("/org/freedesktop/login1"), manager, sleep, {true}}},
        {QStringLiteral("wake"), {true, false, QStringLiteral("/org/freedesktop/login1"), manager, sleep, {false}}},
        {QStringLiteral("freedesktop-on"),
         {false, false, QStringLiteral("/org/freedesktop/ScreenSaver"), freedesktop, active, {true}}},
        {QStringLiteral("freedesktop-off"),
         {false, false, QStringLiteral("/org/freedesktop/ScreenSaver"), freedesktop, active, {false}}},
        {QStringLiteral("kde-on"), {false, false, QStringLiteral("/ScreenSaver"), freedesktop, active, {true}}},
        {QStringLiteral("gnome-on"), {false, false, QStringLiteral("/org/gnome/ScreenSaver"), gnome, active, {true}}},
        {QStringLiteral("gnome-off"), {false, false, QStringLiteral("/org/gnome/ScreenSaver"), gnome, active, {false}}},
    };
}

} // namespace

class Logind : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public slots:
    QDBusObjectPath GetSessionByPID(uint) { return QDBusObjectPath(processSession); }
    QDBusObjectPath GetSession(const QString& id)
    {
        if (id != QLatin1String("c7")) {
            sendErrorReply(QStringLiteral("org.freedesktop.login1.NoSuchSession"), QStringLiteral("No such session"));
            return {};
        }
        return QDBusObjectPath(namedSession);
    }
};

namespace {

bool own(QDBusConnection& bus, const QStringList& names)
{
    for (const QString& name : names) {
        if (bus.interface()->registerService(name).value() != QDBusConnectionInterface::ServiceRegistered) {
            return false;
        }
    }
    return true;
}

// Returns once the bus has routed everything sent on the connection before: it answers in order.
void waitForBus(QDBusConnection& bus)
{
    bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: keyhound_desktopbus SYSTEM-BUS-ADDRESS SESSION-BUS-ADDRESS\n", stderr);
        return 2;
    }
    QDBusConnection system = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("system"));
    QDBusConnection session = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[2]), QStringLiteral("session"));
    QDBusConnection forger = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("forger"));
    Logind logind;
    if (!system.registerObject(QStringLiteral("/org/freedesktop/login1"), &logind, QDBusConnection::ExportAllSlots) ||
        !own(system, {QStringLiteral("org.freedesktop.login1")}) ||
        !own(session, {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver")}) ||
        !forger.isConnected()) {
        std::fputs("keyhound_desktopbus: the buses could not be joined\n", stderr);
        return 1;
    }

    const std::map<QString, Signal> known = commands();
    QTextStream out(stdout);
    out << "ready" << Qt::endl;
    const auto send = [&](const QString& line) {
        const auto command = known.find(line.trimmed());
        if (command == known.end()) {
            out << "unknown" << Qt::endl;
            return;
        }
        const Signal& signal = command->second;
        QDBusConnection& bus = signal.forged ? forger : signal.systemBus ? system : session;
        QDBusMessage message = QDBusMessage::createSignal(signal.path, signal.interface, signal.name);
        message.setArguments(signal.arguments);
        bus.send(message);
        waitForBus(bus);
        out << "sent" << Qt::endl;
    };
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char buffer[256];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, count);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            send(QString::fromUtf8(pending.left(end)));
            pending.remove(0, end + 1);
        }
    });
    return QCoreApplication::exec();
}

#include "desktopbus.moc"
