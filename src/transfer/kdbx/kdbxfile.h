#pragma once

#include "transfer/kdbx/kdbxkdf.h"
#include "transfer/kdbx/kdbxread.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// A whole KeePass database file, protected by a password alone. Written as KeePass 4.0 (AES-256, the HMAC block
// stream, gzip, ChaCha20 for the protected values); read as 4.x or 3.1.
namespace KdbxFile {

QByteArray write(const QList<KdbxEntry>& entries, const QByteArray& password, const KdbxKdf& kdf, const QDateTime& now);

// KdbxRead::Status::Read when the file is a database this reader knows how to open, before any key is tried.
KdbxRead::Status openable(const QByteArray& file);
// An empty password is tried both as an empty password and as none at all, as KeePassXC does.
KdbxRead read(const QByteArray& file, const QByteArray& password);

} // namespace KdbxFile
