#pragma once

#include "transfer/kdbx/kdbxbytes.h"
#include "transfer/kdbx/kdbxcost.h"
#include "transfer/kdbx/variantdictionary.h"

#include <QByteArray>

#include <optional>

// How a KeePass file turns the composite key into the key its other keys come from: Argon2 (KeePass 4 files) or
// rounds of AES-256 (KeePass 3 files and older 4 ones).
class KdbxKdf
{
public:
    enum class Kind
    {
        Argon2d,
        Argon2id,
        Aes,
    };
    // At least this much memory for a file this program writes.
    static constexpr quint64 minimumMemoryBytes = 64 * 1024 * 1024;

    // Argon2id with a new random salt.
    static KdbxKdf argon2id(const KdbxCost& cost);
    static KdbxKdf aes(const QByteArray& seed, quint64 rounds);
    // The parameters of a KeePass 4 header; nullopt for an unknown function or missing values.
    static std::optional<KdbxKdf> fromParameters(const VariantDictionary& parameters);
    // Argon2id over minimumMemoryBytes, with the passes that make one derivation take about the milliseconds given
    // on this machine, in as many lanes as it has cores.
    static KdbxCost calibratedArgon2id(int milliseconds);

    Kind kind() const { return m_kind; }
    const KdbxCost& cost() const { return m_cost; }
    VariantDictionary parameters() const;
    // nullopt when the function cannot run with these parameters (too little memory to hold them, say).
    std::optional<KdbxBytes::Secret> transform(const KdbxBytes::Secret& compositeKey) const;

private:
    KdbxKdf(Kind kind, const QByteArray& salt) : m_kind(kind), m_salt(salt) {}
    std::optional<KdbxBytes::Secret> argon2(const KdbxBytes::Secret& key) const;
    std::optional<KdbxBytes::Secret> aesRounds(const KdbxBytes::Secret& key) const;

    Kind m_kind;
    QByteArray m_salt;
    KdbxCost m_cost;
    quint32 m_version = 0x13;
    quint64 m_rounds = 0;
};
