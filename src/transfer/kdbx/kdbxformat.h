#pragma once

#include "transfer/kdbx/kdbxcost.h"
#include "transfer/kdbx/kdbxentry.h"
#include "transfer/kdbx/kdbxread.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// What the KeePass module offers the program: writing and reading whole databases. The module holds the format and
// the libraries it needs (Botan, libargon2, zlib), so that the program loads them only for a KeePass job; this
// header is all the program knows of it.
class KdbxFormat
{
public:
    // Raised with every change to this class or to the types it takes, so that a program refuses a module built
    // from other sources.
    static constexpr quint32 interfaceVersion = 1;

    // KeePass 4.0 with Argon2id of that cost and a new random salt; empty when the key could not be derived.
    virtual QByteArray write(const QList<KdbxEntry>& entries, const QByteArray& password, const KdbxCost& cost,
                             const QDateTime& now) const = 0;
    // KdbxRead::Status::Read when the file is a database the module knows how to open, before any key is tried.
    virtual KdbxRead::Status openable(const QByteArray& file) const = 0;
    // An empty password is tried both as an empty password and as none at all, as KeePassXC does.
    virtual KdbxRead read(const QByteArray& file, const QByteArray& password) const = 0;
    // Argon2id over 64 MiB, with the passes that make one derivation take about the milliseconds given here.
    virtual KdbxCost calibratedArgon2id(int milliseconds) const = 0;

protected:
    ~KdbxFormat() = default;
};

// What the module's one exported function, kdbxModuleEntryPoint, returns. Its first member stays the first in every
// version, so that a program can tell a module of another version before it touches anything else.
struct KdbxModuleEntry
{
    quint32 interfaceVersion;
    const KdbxFormat* format;
};

using KdbxModuleEntryFunction = const KdbxModuleEntry* (*)();
inline constexpr char kdbxModuleEntryPoint[] = "keyhound_kdbx_module";
