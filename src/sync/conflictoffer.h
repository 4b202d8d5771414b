#pragma once

#include <QObject>
#include <QStringList>

class Platform;
class Vault;

// Offers to merge the conflict copies that a file-sync program left beside the data files: before the main window
// first shows, and again after a save read pswd.tab anew because another program had changed it. The merge is made
// only on the user's "Sim"; "Não" leaves everything, and the next start asks again. Within one run the same copies,
// declined or named as unreadable once, are not brought up again; a new or changed copy is. Copies that cannot be
// read are named and left alone.
class ConflictOffer : public QObject
{
    Q_OBJECT

public:
    ConflictOffer(Vault& vault, Platform& platform, QObject* parent = nullptr);

    void run();

private:
    // After the save that read the file has ended and its message was answered.
    void runWhenIdle();

    Vault& m_vault;
    Platform& m_platform;
    // The copies the user was last told of, each by its name and last change.
    QStringList m_told;
};
