#pragma once

#include "transfer/kdbx/kdbxcrypto.h"
#include "transfer/kdbx/kdbxkdf.h"

#include <QByteArray>

#include <optional>

// The clear header at the start of a KeePass file: format version, payload cipher, compression, seeds and the key
// derivation. Version 4 files keep their inner stream in the payload; version 3 files name it here.
struct KdbxHeader
{
    static constexpr quint32 version4 = 0x00040000;

    enum class Problem
    {
        None,
        NotKeePass,
        UnsupportedVersion,
        UnsupportedCipher,
        UnsupportedKdf,
        Damaged,
    };
    struct Parsed;

    quint32 version = version4;
    KdbxCrypto::Cipher cipher = KdbxCrypto::Cipher::ChaCha20;
    bool compressed = true;
    QByteArray masterSeed;
    QByteArray encryptionIv;
    std::optional<KdbxKdf> kdf;
    // Version 3 only: the key of the protected values and the bytes the deciphered payload starts with.
    QByteArray protectedStreamKey;
    QByteArray streamStartBytes;
    quint32 innerStreamId = 0;

    quint16 majorVersion() const { return quint16(version >> 16); }

    static Parsed parse(const QByteArray& file);
    // A version 4 header.
    QByteArray serialized() const;
};

struct KdbxHeader::Parsed
{
    std::optional<KdbxHeader> header;
    Problem problem = Problem::None;
    // The header's bytes from the file's first one.
    qsizetype size = 0;
};
