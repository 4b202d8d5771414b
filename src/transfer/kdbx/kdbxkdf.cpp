#include "transfer/kdbx/kdbxkdf.h"

#include "transfer/kdbx/kdbxcrypto.h"

#include <QElapsedTimer>
#include <QThread>

#include <argon2.h>
#include <botan/block_cipher.h>

#include <algorithm>

namespace {

const QByteArray argon2dId = QByteArray::fromHex("ef636ddf8c29444b91f7a9a403e30a0c");
const QByteArray argon2idId = QByteArray::fromHex("9e298b1956db4773b23dfc3ec6f0a1e6");
const QByteArray aesKdfId = QByteArray::fromHex("c9d9f39a628a4460bf740d08c18a4fea");
constexpr qsizetype saltLength = 32;
constexpr qsizetype keyLength = 32;

} // namespace

KdbxKdf KdbxKdf::argon2id(const KdbxCost& cost)
{
    KdbxKdf kdf(Kind::Argon2id, KdbxCrypto::randomBytes(saltLength));
    kdf.m_cost = cost;
    return kdf;
}

KdbxKdf KdbxKdf::aes(const QByteArray& seed, quint64 rounds)
{
    KdbxKdf kdf(Kind::Aes, seed);
    kdf.m_rounds = rounds;
    return kdf;
}

std::optional<KdbxKdf> KdbxKdf::fromParameters(const VariantDictionary& parameters)
{
    const QByteArray uuid = parameters.bytes(QStringLiteral("$UUID")).value_or(QByteArray());
    const std::optional<QByteArray> salt = parameters.bytes(QStringLiteral("S"));
    if (uuid == aesKdfId) {
        const std::optional<quint64> rounds = parameters.uint64(QStringLiteral("R"));
        return salt && rounds ? std::optional(aes(*salt, *rounds)) : std::nullopt;
    }
    if (uuid != argon2dId && uuid != argon2idId) {
        return std::nullopt;
    }
    const std::optional<quint64> memory = parameters.uint64(QStringLiteral("M"));
    const std::optional<quint64> iterations = parameters.uint64(QStringLiteral("I"));
    const std::optional<quint32> parallelism = parameters.uint32(QStringLiteral("P"));
    const std::optional<quint32> version = parameters.uint32(QStringLiteral("V"));
    if (!salt || !memory || !iterations || !parallelism || !version) {
        return std::nullopt;
    }
    KdbxKdf kdf(uuid == argon2idId ? Kind::Argon2id : Kind::Argon2d, *salt);
    kdf.m_cost = {*memory, *iterations, *parallelism};
    kdf.m_version = *version;
    return kdf;
}

KdbxCost KdbxKdf::calibratedArgon2id(int milliseconds)
{
    constexpr quint64 trialIterations = 2;
    KdbxCost cost{minimumMemoryBytes, trialIterations, quint32(std::clamp(QThread::idealThreadCount(), 1, 8))};
    const KdbxKdf trial = argon2id(cost);
    QElapsedTimer timer;
    timer.start();
    trial.transform(KdbxBytes::Secret(keyLength, 0x4B));
    const qint64 elapsed = std::max<qint64>(1, timer.elapsed());
    cost.iterations = std::max<quint64>(trialIterations, trialIterations * quint64(milliseconds) / quint64(elapsed));
    return cost;
}

VariantDictionary KdbxKdf::parameters() const
{
    VariantDictionary parameters;
    if (m_kind == Kind::Aes) {
        parameters.setBytes(QStringLiteral("$UUID"), aesKdfId);
        parameters.setUInt64(QStringLiteral("R"), m_rounds);
        parameters.setBytes(QStringLiteral("S"), m_salt);
        return parameters;
    }
    parameters.setBytes(QStringLiteral("$UUID"), m_kind == Kind::Argon2id ? argon2idId : argon2dId);
    parameters.setUInt32(QStringLiteral("V"), m_version);
    parameters.setBytes(QStringLiteral("S"), m_salt);
    parameters.setUInt64(QStringLiteral("M"), m_cost.memoryBytes);
    parameters.setUInt64(QStringLiteral("I"), m_cost.iterations);
    parameters.setUInt32(QStringLiteral("P"), m_cost.parallelism);
    return parameters;
}

std::optional<KdbxBytes::Secret> KdbxKdf::transform(const KdbxBytes::Secret& compositeKey) const
{
    return m_kind == Kind::Aes ? aesRounds(compositeKey) : argon2(compositeKey);
}

std::optional<KdbxBytes::Secret> KdbxKdf::argon2(const KdbxBytes::Secret& key) const
{
    const quint64 memoryKiB = m_cost.memoryBytes / 1024;
    if (memoryKiB > UINT32_MAX || m_cost.iterations > UINT32_MAX) {
        return std::nullopt;
    }
    KdbxBytes::Secret out(keyLength);
    const int result = argon2_hash(uint32_t(m_cost.iterations), uint32_t(memoryKiB), m_cost.parallelism, key.data(),
                                   key.size(), m_salt.constData(), size_t(m_salt.size()), out.data(), out.size(),
                                   nullptr, 0, m_kind == Kind::Argon2id ? Argon2_id : Argon2_d, m_version);
    return result == ARGON2_OK ? std::optional(out) : std::nullopt;
}

std::optional<KdbxBytes::Secret> KdbxKdf::aesRounds(const KdbxBytes::Secret& key) const
{
    if (m_salt.size() != keyLength || key.size() != keyLength) {
        return std::nullopt;
    }
    const auto aes = Botan::BlockCipher::create_or_throw("AES-256");
    aes->set_key(reinterpret_cast<const std::uint8_t*>(m_salt.constData()), size_t(m_salt.size()));
    KdbxBytes::Secret blocks = key;
    for (quint64 round = 0; round < m_rounds; ++round) {
        aes->encrypt_n(blocks.data(), blocks.data(), 2);
    }
    return KdbxCrypto::sha256({blocks});
}
