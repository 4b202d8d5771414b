#include "app/wakechannel.h"

#include "storage/datafilecheck.h"
#include "wording/faultwording.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray request = QByteArrayLiteral("wake\n");
const QByteArray reply = QByteArrayLiteral("ok\n");
// Longer than any line either side says.
constexpr qsizetype longestLine = 64;
// How long the channel waits before it takes callers again when the system could not give it one.
constexpr std::chrono::milliseconds acceptRetry(200);

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
    return FaultWording::sentence(DataFileCheck::ancestorsRefusal(folder));
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

} // namespace

// A connection to the running copy, heard until its first line.
class WakeChannel::Caller : public QObject
{
public:
    Caller(UnixSocket connected, QObject* parent)
        : QObject(parent), socket(std::move(connected)), readable(socket.descriptor(), QSocketNotifier::Read)
    {}

    UnixSocket socket;
    QSocketNotifier readable;
    QByteArray heard;
};

WakeChannel::WakeChannel(const QString& dataFolder, QObject* parent) : QObject(parent), m_place(placeFor(dataFolder)) {}

WakeChannel::~WakeChannel() = default;

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
    ::unlink(QFile::encodeName(m_place.socketPath).constData());
    UnixSocket::Opened opened = UnixSocket::listeningAt(m_place.socketPath);
    m_listenError = opened.error;
    if (!opened.socket.isOpen()) {
        return false;
    }
    m_listener = std::move(opened.socket);
    m_listening = std::make_unique<QSocketNotifier>(m_listener.descriptor(), QSocketNotifier::Read);
    connect(m_listening.get(), &QSocketNotifier::activated, this, &WakeChannel::acceptCallers);
    return true;
}

QString WakeChannel::failureMessage() const
{
    return QStringLiteral("Não foi possível abrir o canal %1, pelo qual uma nova abertura do programa traz esta "
                          "janela para a frente:\n%2\n\nO programa funciona normalmente, mas enquanto estiver aberto "
                          "uma nova abertura dirá que ele não respondeu.")
        .arg(m_place.socketPath,
             m_place.refusal.isEmpty() ? FaultWording::systemReason(m_listenError) : m_place.refusal);
}

void WakeChannel::acceptCallers()
{
    UnixSocket::Opened next = m_listener.accepted();
    for (; next.socket.isOpen(); next = m_listener.accepted()) {
        if (next.socket.peerIsThisUser()) {
            auto* caller = new Caller(std::move(next.socket), this);
            connect(&caller->readable, &QSocketNotifier::activated, caller, [this, caller] { hear(caller); });
        }
    }
    if (next.error != EAGAIN && next.error != EINTR && next.error != ECONNABORTED) {
        // Out of descriptors or memory the caller stays queued and the socket stays readable: trying again at once
        // would keep the program busy until the system frees one.
        m_listening->setEnabled(false);
        QTimer::singleShot(acceptRetry, m_listening.get(),
                           [notifier = m_listening.get()] { notifier->setEnabled(true); });
    }
}

void WakeChannel::hear(Caller* caller)
{
    const std::optional<QByteArray> arrived = caller->socket.readAvailable();
    caller->heard += arrived.value_or(QByteArray());
    const qsizetype lineEnd = caller->heard.indexOf('\n');
    if (arrived && lineEnd < 0 && caller->heard.size() <= longestLine) {
        return;
    }
    caller->readable.setEnabled(false);
    if (caller->heard.left(lineEnd + 1) == request) {
        emit wakeRequested();
        caller->socket.write(reply, QDeadlineTimer(std::chrono::milliseconds(100)));
    }
    caller->deleteLater();
}

WakeChannel::Answer WakeChannel::wake(const QString& dataFolder, std::chrono::milliseconds patience)
{
    const QDeadlineTimer deadline(patience);
    const Place place = placeFor(dataFolder);
    if (!place.refusal.isEmpty()) {
        return {false, place.refusal};
    }
    // The running copy may have taken the lock an instant ago and not be listening yet.
    UnixSocket::Opened connection = UnixSocket::connectedTo(place.socketPath);
    for (; !connection.socket.isOpen(); connection = UnixSocket::connectedTo(place.socketPath)) {
        if (deadline.hasExpired()) {
            return {};
        }
        QThread::msleep(50);
    }
    const UnixSocket& socket = connection.socket;
    if (!socket.peerIsThisUser()) {
        return {false, QStringLiteral("O canal %1 é de um programa de outro usuário, e nada foi dito a ele.")
                           .arg(place.socketPath)};
    }
    return {socket.write(request, deadline) && socket.readLine(longestLine, deadline) == reply, {}};
}
