#include "app/unixsocket.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The address of the path, unless the path is too long for one.
std::optional<sockaddr_un> addressOf(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof address.sun_path)) {
        return std::nullopt;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return address;
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

} // namespace

UnixSocket::UnixSocket(UnixSocket&& other) noexcept : m_descriptor(std::exchange(other.m_descriptor, -1)) {}

UnixSocket& UnixSocket::operator=(UnixSocket&& other) noexcept
{
    std::swap(m_descriptor, other.m_descriptor);
    return *this;
}

UnixSocket::~UnixSocket()
{
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

UnixSocket::Opened UnixSocket::listeningAt(const QString& path)
{
    const std::optional<sockaddr_un> address = addressOf(path);
    if (!address) {
        return {{}, ENAMETOOLONG};
    }
    UnixSocket socket(newSocket());
    const auto* named = reinterpret_cast<const sockaddr*>(&*address);
    if (!socket.isOpen() || ::bind(socket.m_descriptor, named, sizeof *address) != 0 ||
        ::chmod(address->sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(socket.m_descriptor, 8) != 0) {
        return {{}, errno};
    }
    return {std::move(socket), 0};
}

UnixSocket::Opened UnixSocket::connectedTo(const QString& path)
{
    const std::optional<sockaddr_un> address = addressOf(path);
    if (!address) {
        return {{}, ENAMETOOLONG};
    }
    // A local socket connects at once or not at all, non-blocking or not.
    UnixSocket socket(newSocket());
    if (!socket.isOpen() ||
        ::connect(socket.m_descriptor, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        return {{}, errno};
    }
    return {std::move(socket), 0};
}

UnixSocket::Opened UnixSocket::accepted() const
{
    UnixSocket socket(::accept4(m_descriptor, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    const int error = socket.isOpen() ? 0 : errno;
    return {std::move(socket), error};
}

bool UnixSocket::peerIsThisUser() const
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(m_descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

bool UnixSocket::waitFor(short events, const QDeadlineTimer& deadline) const
{
    pollfd waiting{m_descriptor, events, 0};
    int ready;
    do {
        ready = ::poll(&waiting, 1, int(deadline.remainingTime()));
    } while (ready < 0 && errno == EINTR);
    return ready == 1;
}

bool UnixSocket::write(const QByteArray& bytes, const QDeadlineTimer& deadline) const
{
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t written =
            ::send(m_descriptor, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (written > 0) {
            sent += written;
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!waitFor(POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

std::optional<QByteArray> UnixSocket::readLine(qsizetype maxLength, const QDeadlineTimer& deadline) const
{
    QByteArray line;
    while (!line.endsWith('\n')) {
        char byte;
        const ssize_t read = ::recv(m_descriptor, &byte, 1, 0);
        if (read == 1) {
            line.append(byte);
        } else if (read == 0 || (errno != EAGAIN && errno != EINTR) || !waitFor(POLLIN, deadline)) {
            return std::nullopt;
        }
        if (line.size() > maxLength) {
            return std::nullopt;
        }
    }
    return line;
}

std::optional<QByteArray> UnixSocket::readAvailable() const
{
    char bytes[256];
    const ssize_t read = ::recv(m_descriptor, bytes, sizeof bytes, 0);
    if (read > 0) {
        return QByteArray(bytes, qsizetype(read));
    }
    if (read < 0 && (errno == EAGAIN || errno == EINTR)) {
        return QByteArray();
    }
    return std::nullopt;
}
