#pragma once

#include "transfer/kdbx/kdbxbytes.h"

#include <QByteArray>

#include <botan/stream_cipher.h>

#include <memory>
#include <optional>

// The key stream that the protected values of the XML (passwords) are combined with, in the order of the document:
// ChaCha20 in KeePass 4 files, Salsa20 in KeePass 3 ones.
class InnerStream
{
public:
    enum Id : quint32
    {
        Salsa20 = 2,
        ChaCha20 = 3,
    };

    // nullopt for a stream this reader does not know.
    static std::optional<InnerStream> create(quint32 id, const QByteArray& key);

    // Combines the bytes with the next bytes of the stream, both ways.
    QByteArray apply(const QByteArray& bytes);

private:
    explicit InnerStream(std::unique_ptr<Botan::StreamCipher> cipher) : m_cipher(std::move(cipher)) {}

    std::unique_ptr<Botan::StreamCipher> m_cipher;
};
