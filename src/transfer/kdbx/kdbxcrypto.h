#pragma once

#include "transfer/kdbx/kdbxbytes.h"

#include <QByteArray>

#include <initializer_list>
#include <optional>
#include <span>

// The hashes, the header and block authentication and the payload ciphers of KeePass files, all done by Botan.
namespace KdbxCrypto {

using KdbxBytes::Secret;

// A piece of input, public or secret.
class Piece
{
public:
    Piece(const QByteArray& bytes) : m_bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size()) {}
    Piece(const Secret& secret) : m_bytes(secret.data(), secret.size()) {}
    std::span<const std::uint8_t> bytes() const { return m_bytes; }

private:
    std::span<const std::uint8_t> m_bytes;
};

Secret sha256(std::initializer_list<Piece> pieces);
Secret sha512(std::initializer_list<Piece> pieces);
QByteArray hmacSha256(const Secret& key, std::initializer_list<Piece> pieces);
QByteArray randomBytes(qsizetype count);

// The payload ciphers of the outer file.
enum class Cipher
{
    Aes256,
    ChaCha20,
};
// The identifier of a cipher in the header, and the cipher of one (nullopt: not one of these).
QByteArray cipherId(Cipher cipher);
std::optional<Cipher> cipherOf(const QByteArray& id);
qsizetype ivLength(Cipher cipher);
// AES-256 in CBC mode with PKCS#7 padding, or ChaCha20 with a 96-bit nonce. Decrypting with a wrong key gives
// nullopt when the padding shows it.
QByteArray encrypt(Cipher cipher, const Secret& key, const QByteArray& iv, const QByteArray& plain);
std::optional<QByteArray> decrypt(Cipher cipher, const Secret& key, const QByteArray& iv, const QByteArray& data);

} // namespace KdbxCrypto
