#include "transfer/kdbx/kdbxfile.h"

#include "secrets/memorywipe.h"
#include "transfer/kdbx/blockstreams.h"
#include "transfer/kdbx/gzip.h"
#include "transfer/kdbx/innerstream.h"
#include "transfer/kdbx/kdbxcrypto.h"
#include "transfer/kdbx/kdbxheader.h"
#include "transfer/kdbx/kdbxxml.h"

namespace {

using KdbxBytes::Secret;
using Status = KdbxRead::Status;

constexpr qsizetype hashLength = 32;
constexpr qsizetype innerKeyLength = 64;
// The most a payload may grow to when it is decompressed.
constexpr qsizetype payloadLimit = qsizetype(1) << 30;

enum InnerFieldId : char
{
    InnerEnd = 0,
    InnerStreamId = 1,
    InnerStreamKey = 2,
};

struct Keys
{
    Secret cipher;
    Secret hmac;
};

std::optional<Keys> keysFor(const KdbxHeader& header, const Secret& compositeKey)
{
    const std::optional<Secret> transformed = header.kdf->transform(compositeKey);
    if (!transformed) {
        return std::nullopt;
    }
    return Keys{KdbxCrypto::sha256({header.masterSeed, *transformed}),
                KdbxCrypto::sha512({header.masterSeed, *transformed, QByteArray(1, '\x01')})};
}

QByteArray innerField(char id, const QByteArray& data)
{
    return id + KdbxBytes::littleEndian(quint32(data.size())) + data;
}

struct Payload
{
    Status status = Status::Read;
    QByteArray xml;
    std::optional<InnerStream> stream;
};

// The XML and inner stream of a version 4 payload after its inner header.
Payload innerPayload(const QByteArray& plain)
{
    Payload payload;
    payload.status = Status::Damaged;
    quint32 streamId = 0;
    QByteArray streamKey;
    for (qsizetype at = 0; plain.size() - at >= 5;) {
        const char id = plain.at(at);
        const quint32 size = KdbxBytes::readLittleEndian<quint32>(plain.constData() + at + 1);
        at += 5;
        if (quint64(plain.size() - at) < size) {
            return payload;
        }
        const QByteArray data = plain.mid(at, qsizetype(size));
        at += qsizetype(size);
        if (id == InnerEnd) {
            payload.stream = InnerStream::create(streamId, streamKey);
            payload.status = payload.stream ? Status::Read : Status::UnsupportedCipher;
            payload.xml = plain.mid(at);
            return payload;
        }
        if (id == InnerStreamId && data.size() == 4) {
            streamId = KdbxBytes::readLittleEndian<quint32>(data.constData());
        } else if (id == InnerStreamKey) {
            streamKey = data;
        }
    }
    return payload;
}

std::optional<QByteArray> decompressed(const KdbxHeader& header, QByteArray plain)
{
    if (!header.compressed) {
        return plain;
    }
    std::optional<QByteArray> inflated = Gzip::decompress(plain, payloadLimit);
    MemoryWipe::wipe(plain);
    return inflated;
}

Payload version4Payload(const QByteArray& file, const KdbxHeader& header, qsizetype headerSize, const Keys& keys)
{
    const QByteArray headerBytes = file.left(headerSize);
    const QByteArray mac =
        KdbxCrypto::hmacSha256(HmacBlockStream::blockKey(keys.hmac, HmacBlockStream::headerIndex), {headerBytes});
    if (file.mid(headerSize + hashLength, hashLength) != mac) {
        return {Status::WrongKey, {}, {}};
    }
    const std::optional<QByteArray> data = HmacBlockStream::read(file, headerSize + 2 * hashLength, keys.hmac);
    std::optional<QByteArray> plain =
        data ? KdbxCrypto::decrypt(header.cipher, keys.cipher, header.encryptionIv, *data) : std::nullopt;
    std::optional<QByteArray> inflated = plain ? decompressed(header, *plain) : std::nullopt;
    if (plain) {
        MemoryWipe::wipe(*plain);
    }
    if (!inflated) {
        return {Status::Damaged, {}, {}};
    }
    Payload payload = innerPayload(*inflated);
    MemoryWipe::wipe(*inflated);
    return payload;
}

Payload version3Payload(const QByteArray& file, const KdbxHeader& header, qsizetype headerSize, const Keys& keys)
{
    std::optional<QByteArray> plain =
        KdbxCrypto::decrypt(header.cipher, keys.cipher, header.encryptionIv, file.mid(headerSize));
    if (!plain || !plain->startsWith(header.streamStartBytes)) {
        return {Status::WrongKey, {}, {}};
    }
    const std::optional<QByteArray> data = HashedBlockStream::read(*plain, header.streamStartBytes.size());
    MemoryWipe::wipe(*plain);
    std::optional<QByteArray> xml = data ? decompressed(header, *data) : std::nullopt;
    if (!xml) {
        return {Status::Damaged, {}, {}};
    }
    Payload payload{Status::Read, *xml, InnerStream::create(header.innerStreamId, header.protectedStreamKey)};
    MemoryWipe::wipe(*xml);
    payload.status = payload.stream ? Status::Read : Status::UnsupportedCipher;
    return payload;
}

Status headerStatus(KdbxHeader::Problem problem)
{
    switch (problem) {
    case KdbxHeader::Problem::None:
        break;
    case KdbxHeader::Problem::NotKeePass:
        return Status::NotKeePass;
    case KdbxHeader::Problem::UnsupportedVersion:
        return Status::UnsupportedVersion;
    case KdbxHeader::Problem::UnsupportedCipher:
        return Status::UnsupportedCipher;
    case KdbxHeader::Problem::UnsupportedKdf:
        return Status::UnsupportedKdf;
    case KdbxHeader::Problem::Damaged:
        break;
    }
    return Status::Damaged;
}

KdbxRead readWith(const QByteArray& file, const KdbxHeader::Parsed& parsed, const Secret& compositeKey)
{
    const std::optional<Keys> keys = keysFor(*parsed.header, compositeKey);
    if (!keys) {
        return {Status::KdfFailed, {}};
    }
    Payload payload = parsed.header->majorVersion() >= 4 ? version4Payload(file, *parsed.header, parsed.size, *keys)
                                                         : version3Payload(file, *parsed.header, parsed.size, *keys);
    if (payload.status != Status::Read) {
        return {payload.status, {}};
    }
    const std::optional<QList<KdbxEntry>> entries = KdbxXml::read(payload.xml, *payload.stream);
    MemoryWipe::wipe(payload.xml);
    return entries ? KdbxRead{Status::Read, *entries} : KdbxRead{Status::Damaged, {}};
}

} // namespace

namespace KdbxFile {

QByteArray write(const QList<KdbxEntry>& entries, const QByteArray& password, const KdbxKdf& kdf, const QDateTime& now)
{
    KdbxHeader header;
    header.cipher = KdbxCrypto::Cipher::Aes256;
    header.masterSeed = KdbxCrypto::randomBytes(32);
    header.encryptionIv = KdbxCrypto::randomBytes(KdbxCrypto::ivLength(header.cipher));
    header.kdf = kdf;
    const QByteArray headerBytes = header.serialized();
    const std::optional<Keys> keys = keysFor(header, KdbxCrypto::sha256({KdbxCrypto::sha256({password})}));
    if (!keys) {
        return {};
    }
    QByteArray innerKey = KdbxCrypto::randomBytes(innerKeyLength);
    std::optional<InnerStream> stream = InnerStream::create(InnerStream::ChaCha20, innerKey);
    QByteArray plain = innerField(InnerStreamId, KdbxBytes::littleEndian(quint32(InnerStream::ChaCha20))) +
                       innerField(InnerStreamKey, innerKey) + innerField(InnerEnd, {});
    MemoryWipe::wipe(innerKey);
    QByteArray xml = KdbxXml::write(entries, *stream, now);
    plain += xml;
    MemoryWipe::wipe(xml);
    QByteArray compressed = Gzip::compress(plain);
    MemoryWipe::wipe(plain);
    const QByteArray encrypted = KdbxCrypto::encrypt(header.cipher, keys->cipher, header.encryptionIv, compressed);
    MemoryWipe::wipe(compressed);
    return headerBytes + KdbxBytes::bytes(KdbxCrypto::sha256({headerBytes})) +
           KdbxCrypto::hmacSha256(HmacBlockStream::blockKey(keys->hmac, HmacBlockStream::headerIndex), {headerBytes}) +
           HmacBlockStream::write(encrypted, keys->hmac);
}

KdbxRead::Status openable(const QByteArray& file)
{
    const KdbxHeader::Parsed parsed = KdbxHeader::parse(file);
    if (!parsed.header) {
        return headerStatus(parsed.problem);
    }
    const bool intact =
        parsed.header->majorVersion() < 4 ||
        file.mid(parsed.size, hashLength) == KdbxBytes::bytes(KdbxCrypto::sha256({file.left(parsed.size)}));
    return intact ? Status::Read : Status::Damaged;
}

KdbxRead read(const QByteArray& file, const QByteArray& password)
{
    if (const Status status = openable(file); status != Status::Read) {
        return {status, {}};
    }
    const KdbxHeader::Parsed parsed = KdbxHeader::parse(file);
    const KdbxRead withPassword = readWith(file, parsed, KdbxCrypto::sha256({KdbxCrypto::sha256({password})}));
    if (withPassword.status == Status::WrongKey && password.isEmpty()) {
        return readWith(file, parsed, KdbxCrypto::sha256({}));
    }
    return withPassword;
}

} // namespace KdbxFile
