#pragma once

#include "app/unixsocket.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class QSocketNotifier;

// Lets a second start on a data folder bring the copy already running on it to the front. The running copy listens
// on a local socket named after the folder's canonical path, in a folder that only the user may enter: the user's
// runtime folder ($XDG_RUNTIME_DIR), or else one the program makes in the system's temporary folder. Each side makes
// sure the other runs as the same user before it says anything, so that no other user can make a start end or learn
// that the program runs.
class WakeChannel : public QObject
{
    Q_OBJECT

public:
    explicit WakeChannel(const QString& dataFolder, QObject* parent = nullptr);
    ~WakeChannel() override;

    // Starts listening. Only the holder of the folder's lock may: a socket left by a killed copy is removed first.
    bool listen();
    // Why listen() failed, in Portuguese.
    QString failureMessage() const;

    struct Answer
    {
        bool woken = false;
        // Why the running copy could not be asked, in Portuguese; empty when it was asked but did not answer.
        QString problem;
    };
    // Asks the copy running on the folder to come to the front, waiting at most the patience for its answer.
    static Answer wake(const QString& dataFolder, std::chrono::milliseconds patience = std::chrono::seconds(5));

    struct Place
    {
        QString socketPath;
        // Why no socket may lie there, in Portuguese; empty when it may.
        QString refusal;
    };
    // Where the socket of the copy running on the folder lies; makes the folder in the temporary folder if need be.
    static Place placeFor(const QString& dataFolder);

signals:
    void wakeRequested();

private:
    class Caller;
    void acceptCallers();
    void hear(Caller* caller);

    Place m_place;
    UnixSocket m_listener;
    std::unique_ptr<QSocketNotifier> m_listening;
    int m_listenError = 0;
};
