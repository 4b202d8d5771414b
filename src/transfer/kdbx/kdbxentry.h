#pragma once

#include <QDateTime>
#include <QString>

// The fields of a KeePass entry that an entry of the vault has.
struct KdbxEntry
{
    QString title;
    QString userName;
    QString password;
    QString url;
    // Line breaks as line feeds.
    QString notes;
    QDateTime lastModification;
    // Invalid when the entry does not expire.
    QDateTime expiry;

    bool operator==(const KdbxEntry&) const = default;
};
