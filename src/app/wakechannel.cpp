#include "app/wakechannel.h"

#include "storage/datafilecheck.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray request = QByteArrayLiteral("wake\n");
const QByteArray reply = QByteArrayLiteral("ok\n");

QString canonicalFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(folder).absoluteFilePath() : canonical;
}

QString socketName(const QString& dataFolder)
{
    const QByteArray digest =
        QCryptographicHash::hash(canonicalFolder(dataFolder).toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("keyhound-") + QString::fromLatin1(digest.left(32));
}

// Empty when only the user may enter the folder and nobody else may replace it; otherwise why not.
QString privateFolderRefusal(const QString& folder)
{
    struct stat info
    {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return QStringLiteral("%1 não é uma pasta.").arg(folder);
    }
    if (info.st_uid != ::geteuid()) {
        return QStringLiteral("A pasta %1 pertence a outro usuário.\n\nApague-a, ou peça a quem a criou que a apague.")
            .arg(folder);
    }
    if ((info.st_mode & 077) != 0) {
        return QStringLiteral("Outros usuários podem entrar na pasta %1 (permissões %2).\n\nPara protegê-la, "
                              "execute:\nchmod 700 %1")
            .arg(folder, QString::number(info.st_mode & 07777, 8));
    }
    return DataFileCheck::ancestorsRefusal(folder);
}

QString channelFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime)) {
        return runtime;
    }
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("keyhound-%1").arg(::geteuid()));
    // Made for this user alone; one that exists already is used only if the check below finds it so.
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return folder;
}

// Whether the process at the other end of a connected socket runs as this user.
bool peerIsThisUser(const QLocalSocket& socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
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
    : QObject(parent), m_place(placeFor(dataFolder)), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &WakeChannel::answer);
}

WakeChannel::Place WakeChannel::placeFor(const QString& dataFolder)
{
    const QString folder = channelFolder();
    return {QDir(folder).filePath(socketName(dataFolder)), privateFolderRefusal(folder)};
}

bool WakeChannel::listen()
{
    if (!m_place.refusal.isEmpty()) {
        return false;
    }
    QLocalServer::removeServer(m_place.socketPath);
    return m_server->listen(m_place.socketPath);
}

QString WakeChannel::failureMessage() const
{
    return QStringLiteral("Não foi possível abrir o canal %1, pelo qual uma nova abertura do programa traz esta "
                          "janela para a frente:\n%2\n\nO programa funciona normalmente, mas enquanto estiver aberto "
                          "uma nova abertura dirá que ele não respondeu.")
        .arg(m_place.socketPath, m_place.refusal.isEmpty() ? m_server->errorString() : m_place.refusal);
}

void WakeChannel::answer()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answerOne(socket); });
    }
}

void WakeChannel::answerOne(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        return;
    }
    if (socket->readLine() == request) {
        emit wakeRequested();
        socket->write(reply);
    }
    socket->disconnectFromServer();
}

WakeChannel::Answer WakeChannel::wake(const QString& dataFolder, std::chrono::milliseconds patience)
{
    const QDeadlineTimer deadline(patience);
    const Place place = placeFor(dataFolder);
    if (!place.refusal.isEmpty()) {
        return {false, place.refusal};
    }
    QLocalSocket socket;
    // The running copy may have taken the lock an instant ago and not be listening yet.
    for (socket.connectToServer(place.socketPath); !socket.waitForConnected(remainingMs(deadline));
         socket.connectToServer(place.socketPath)) {
        if (deadline.hasExpired()) {
            return {};
        }
        QThread::msleep(50);
    }
    if (!peerIsThisUser(socket)) {
        return {false, QStringLiteral("O canal %1 é de um programa de outro usuário, e nada foi dito a ele.")
                           .arg(place.socketPath)};
    }
    socket.write(request);
    QByteArray line;
    return {socket.waitForBytesWritten(remainingMs(deadline)) && readLine(socket, deadline, line) && line == reply, {}};
}
