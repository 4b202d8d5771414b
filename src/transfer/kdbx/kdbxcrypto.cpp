#include "transfer/kdbx/kdbxcrypto.h"

#include <botan/auto_rng.h>
#include <botan/cipher_mode.h>
#include <botan/exceptn.h>
#include <botan/hash.h>
#include <botan/mac.h>

namespace {

using KdbxCrypto::Cipher;
using KdbxCrypto::Piece;
using KdbxCrypto::Secret;

Secret hash(const char* algorithm, std::initializer_list<Piece> pieces)
{
    const auto function = Botan::HashFunction::create_or_throw(algorithm);
    for (const Piece& piece : pieces) {
        function->update(piece.bytes().data(), piece.bytes().size());
    }
    return function->final();
}

const char* modeName(Cipher cipher)
{
    return cipher == Cipher::Aes256 ? "AES-256/CBC/PKCS7" : "ChaCha(20)";
}

QByteArray run(Cipher cipher, Botan::Cipher_Dir direction, const Secret& key, const QByteArray& iv,
               const QByteArray& input)
{
    const auto mode = Botan::Cipher_Mode::create_or_throw(modeName(cipher), direction);
    mode->set_key(key);
    mode->start(reinterpret_cast<const std::uint8_t*>(iv.constData()), size_t(iv.size()));
    Secret buffer(input.begin(), input.end());
    mode->finish(buffer);
    return KdbxBytes::bytes(buffer);
}

const QByteArray aesId = QByteArray::fromHex("31c1f2e6bf714350be5805216afc5aff");
const QByteArray chaChaId = QByteArray::fromHex("d6038a2b8b6f4cb5a524339a31dbb59a");

} // namespace

namespace KdbxCrypto {

Secret sha256(std::initializer_list<Piece> pieces)
{
    return hash("SHA-256", pieces);
}

Secret sha512(std::initializer_list<Piece> pieces)
{
    return hash("SHA-512", pieces);
}

QByteArray hmacSha256(const Secret& key, std::initializer_list<Piece> pieces)
{
    const auto mac = Botan::MessageAuthenticationCode::create_or_throw("HMAC(SHA-256)");
    mac->set_key(key);
    for (const Piece& piece : pieces) {
        mac->update(piece.bytes().data(), piece.bytes().size());
    }
    return KdbxBytes::bytes(mac->final());
}

QByteArray randomBytes(qsizetype count)
{
    Botan::AutoSeeded_RNG random;
    QByteArray bytes(count, '\0');
    random.randomize(reinterpret_cast<std::uint8_t*>(bytes.data()), size_t(count));
    return bytes;
}

QByteArray cipherId(Cipher cipher)
{
    return cipher == Cipher::Aes256 ? aesId : chaChaId;
}

std::optional<Cipher> cipherOf(const QByteArray& id)
{
    if (id == aesId) {
        return Cipher::Aes256;
    }
    if (id == chaChaId) {
        return Cipher::ChaCha20;
    }
    return std::nullopt;
}

qsizetype ivLength(Cipher cipher)
{
    return cipher == Cipher::Aes256 ? 16 : 12;
}

QByteArray encrypt(Cipher cipher, const Secret& key, const QByteArray& iv, const QByteArray& plain)
{
    return run(cipher, Botan::ENCRYPTION, key, iv, plain);
}

std::optional<QByteArray> decrypt(Cipher cipher, const Secret& key, const QByteArray& iv, const QByteArray& data)
{
    if (iv.size() != ivLength(cipher) || (cipher == Cipher::Aes256 && (data.isEmpty() || data.size() % 16 != 0))) {
        return std::nullopt;
    }
    try {
        return run(cipher, Botan::DECRYPTION, key, iv, data);
    } catch (const Botan::Exception&) {
        return std::nullopt;
    }
}

} // namespace KdbxCrypto
