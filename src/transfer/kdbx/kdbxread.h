#pragma once

#include "transfer/kdbx/kdbxentry.h"

#include <QList>

// What reading a KeePass database came to: its entries, or why there are none.
struct KdbxRead
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
