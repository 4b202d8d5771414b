#pragma once

#include "transfer/kdbx/kdbxentry.h"
#include "transfer/kdbx/kdbxkdf.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// A whole KeePass database file, protected by a password alone. Written as KeePass 4.0 (AES-256, the HMAC block
// stream, gzip, ChaCha20 for the protected values); read as 4.x or 3.1.
namespace KdbxFile {

QByteArray write(const QList<KdbxEntry>& entries, const QByteArray& password, const KdbxKdf& kdf, const QDateTime& now);

struct Read
{
    enum class Status
    {
        Read,
        NotKeePass,
        UnsupportedVersion,
        UnsupportedCipher,
        UnsupportedKdf,
        // The key derivation could not run with the file's parameters (more memory than there is, say).
        KdfFailed,
        // The password is wrong, or the database also needs a key file or a hardware key.
        WrongKey,
        Damaged,
    };
    Status status = Status::Read;
    QList<KdbxEntry> entries;
};

// Read::Status::Read when the file is a database this reader knows how to open, before any key is tried.
Read::Status openable(const QByteArray& file);
// An empty password is tried both as an empty password and as none at all, as KeePassXC does.
Read read(const QByteArray& file, const QByteArray& password);

} // namespace KdbxFile
