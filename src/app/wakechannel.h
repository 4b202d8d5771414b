#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class QLocalServer;

// Lets a second start on a data folder bring the copy already running on it to the front. The running copy listens
// on a local socket named after the folder's canonical path; the second start asks it to come forward and waits for
// its answer.
class WakeChannel : public QObject
{
    Q_OBJECT

public:
    explicit WakeChannel(const QString& dataFolder, QObject* parent = nullptr);

    // Starts listening. Only the holder of the folder's lock may: a socket left by a killed copy is removed first.
    bool listen();

    // Asks the copy running on the folder to come to the front. False when none answered within the patience.
    static bool wake(const QString& dataFolder, std::chrono::milliseconds patience = std::chrono::seconds(5));
    static QString serverName(const QString& dataFolder);

signals:
    void wakeRequested();

private:
    void answer();

    QString m_name;
    QLocalServer* m_server;
};
