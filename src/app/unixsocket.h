#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <optional>

// A stream socket of this machine's own (a named local socket), closed when the object goes. Its calls do not block
// past the deadline they are given.
class UnixSocket
{
public:
    UnixSocket() = default;
    UnixSocket(UnixSocket&& other) noexcept;
    UnixSocket& operator=(UnixSocket&& other) noexcept;
    UnixSocket(const UnixSocket&) = delete;
    UnixSocket& operator=(const UnixSocket&) = delete;
    ~UnixSocket();

    struct Opened;
    // Listening at the path, where nothing may lie; only the user may connect to it.
    static Opened listeningAt(const QString& path);
    // Connected to the socket listening at the path.
    static Opened connectedTo(const QString& path);

    bool isOpen() const { return m_descriptor >= 0; }
    int descriptor() const { return m_descriptor; }

    // The next connection waiting on a listening socket, or a closed socket and the system's error: EAGAIN when none
    // waits.
    Opened accepted() const;
    // Whether the process at the other end runs as this user.
    bool peerIsThisUser() const;
    bool write(const QByteArray& bytes, const QDeadlineTimer& deadline) const;
    // The bytes up to and with the first line break, unless the line grows past the length or the deadline passes.
    std::optional<QByteArray> readLine(qsizetype maxLength, const QDeadlineTimer& deadline) const;
    // What has arrived, without waiting (empty when nothing has); nothing once the other end has closed.
    std::optional<QByteArray> readAvailable() const;

private:
    explicit UnixSocket(int descriptor) : m_descriptor(descriptor) {}
    bool waitFor(short events, const QDeadlineTimer& deadline) const;

    int m_descriptor = -1;
};

struct UnixSocket::Opened
{
    UnixSocket socket;
    // The system's error number when the socket could not be opened.
    int error = 0;
};
