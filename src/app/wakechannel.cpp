#include "app/wakechannel.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

const QByteArray request = QByteArrayLiteral("wake\n");
const QByteArray reply = QByteArrayLiteral("ok\n");

QString canonicalFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(folder).absoluteFilePath() : canonical;
}

int remainingMs(const QDeadlineTimer& deadline)
{
    return static_cast<int>(deadline.remainingTime());
}

bool readLine(QLocalSocket& socket, const QDeadlineTimer& deadline, QByteArray& line)
{
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(remainingMs(deadline))) {
            return false;
        }
    }
    line = socket.readLine();
    return true;
}

} // namespace

WakeChannel::WakeChannel(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_name(serverName(dataFolder)), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &WakeChannel::answer);
}

QString WakeChannel::serverName(const QString& dataFolder)
{
    const QByteArray digest =
        QCryptographicHash::hash(canonicalFolder(dataFolder).toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("keyhound-") + QString::fromLatin1(digest.left(32));
}

bool WakeChannel::listen()
{
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void WakeChannel::answer()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            if (socket->readLine() == request) {
                emit wakeRequested();
                socket->write(reply);
            }
            socket->disconnectFromServer();
        });
    }
}

bool WakeChannel::wake(const QString& dataFolder, std::chrono::milliseconds patience)
{
    const QDeadlineTimer deadline(patience);
    const QString name = serverName(dataFolder);
    QLocalSocket socket;
    // The running copy may have taken the lock an instant ago and not be listening yet.
    for (socket.connectToServer(name); !socket.waitForConnected(remainingMs(deadline)); socket.connectToServer(name)) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
    socket.write(request);
    QByteArray line;
    return socket.waitForBytesWritten(remainingMs(deadline)) && readLine(socket, deadline, line) && line == reply;
}
