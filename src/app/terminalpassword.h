#pragma once

#include <QByteArray>
#include <QString>

// The password of a KeePass database, asked on the terminal without echo; when standard input is not a terminal
// (a script, a test), its first line is the password.
class TerminalPassword
{
public:
    struct Answer
    {
        QByteArray password;
        // Why there is no password; empty when there is one.
        QString problem;
    };

    // A password that opens a database; it may be empty.
    static Answer existing(const QString& question);
    // A new password: not empty, typed twice alike on a terminal.
    static Answer chosen(const QString& question);
};
