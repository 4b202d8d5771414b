#pragma once

#include <QByteArray>
#include <QtEndian>

#include <botan/secmem.h>

#include <cstdint>

// Little-endian integers and secret buffers as the KeePass formats use them.
namespace KdbxBytes {

// Key material, wiped when freed.
using Secret = Botan::secure_vector<std::uint8_t>;

template <typename Integer>
QByteArray littleEndian(Integer value)
{
    QByteArray bytes(sizeof(Integer), '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

template <typename Integer>
Integer readLittleEndian(const char* at)
{
    return qFromLittleEndian<Integer>(at);
}

inline Secret secret(const QByteArray& bytes)
{
    return Secret(bytes.begin(), bytes.end());
}

inline QByteArray bytes(const Secret& secret)
{
    return QByteArray(reinterpret_cast<const char*>(secret.data()), qsizetype(secret.size()));
}

} // namespace KdbxBytes
