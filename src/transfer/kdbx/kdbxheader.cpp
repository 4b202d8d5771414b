#include "transfer/kdbx/kdbxheader.h"

namespace {

constexpr quint32 signature1 = 0x9AA2D903;
constexpr quint32 signature2 = 0xB54BFB67;
// KeePass 1 files share the first signature.
constexpr quint32 keePass1Signature2 = 0xB54BFB65;
constexpr qsizetype masterSeedLength = 32;

enum FieldId : char
{
    EndOfHeader = 0,
    CipherId = 2,
    CompressionFlags = 3,
    MasterSeed = 4,
    TransformSeed = 5,
    TransformRounds = 6,
    EncryptionIv = 7,
    ProtectedStreamKey = 8,
    StreamStartBytes = 9,
    InnerRandomStreamId = 10,
    KdfParameters = 11,
};

using Problem = KdbxHeader::Problem;

struct FieldReader
{
    const QByteArray& file;
    qsizetype at;
    bool wideSizes;

    // The next field, or false at the end of the file.
    bool next(char* id, QByteArray* data)
    {
        const qsizetype sizeLength = wideSizes ? 4 : 2;
        if (file.size() - at < 1 + sizeLength) {
            return false;
        }
        *id = file.at(at);
        const qint64 size = wideSizes ? qint64(KdbxBytes::readLittleEndian<quint32>(file.constData() + at + 1))
                                      : qint64(KdbxBytes::readLittleEndian<quint16>(file.constData() + at + 1));
        at += 1 + sizeLength;
        if (file.size() - at < size) {
            return false;
        }
        *data = file.mid(at, qsizetype(size));
        at += qsizetype(size);
        return true;
    }
};

// Checks what the fields read add up to.
Problem completed(KdbxHeader& header, const QByteArray& transformSeed, std::optional<quint64> transformRounds)
{
    if (header.majorVersion() == 3) {
        if (transformSeed.isEmpty() || !transformRounds) {
            return Problem::Damaged;
        }
        header.kdf = KdbxKdf::aes(transformSeed, *transformRounds);
        if (header.streamStartBytes.size() != 32 || header.protectedStreamKey.isEmpty()) {
            return Problem::Damaged;
        }
    }
    if (!header.kdf) {
        return Problem::UnsupportedKdf;
    }
    const bool ivFits = header.encryptionIv.size() == KdbxCrypto::ivLength(header.cipher);
    return header.masterSeed.size() == masterSeedLength && ivFits ? Problem::None : Problem::Damaged;
}

Problem readFields(FieldReader& reader, KdbxHeader& header)
{
    QByteArray transformSeed;
    std::optional<quint64> transformRounds;
    bool cipherNamed = false;
    char id = 0;
    QByteArray data;
    while (reader.next(&id, &data)) {
        switch (id) {
        case EndOfHeader:
            return cipherNamed ? completed(header, transformSeed, transformRounds) : Problem::Damaged;
        case CipherId: {
            const std::optional<KdbxCrypto::Cipher> cipher = KdbxCrypto::cipherOf(data);
            if (!cipher) {
                return Problem::UnsupportedCipher;
            }
            header.cipher = *cipher;
            cipherNamed = true;
            break;
        }
        case CompressionFlags:
            if (data.size() != 4 || KdbxBytes::readLittleEndian<quint32>(data.constData()) > 1) {
                return Problem::Damaged;
            }
            header.compressed = data.at(0) == 1;
            break;
        case MasterSeed:
            header.masterSeed = data;
            break;
        case TransformSeed:
            transformSeed = data;
            break;
        case TransformRounds:
            if (data.size() != 8) {
                return Problem::Damaged;
            }
            transformRounds = KdbxBytes::readLittleEndian<quint64>(data.constData());
            break;
        case EncryptionIv:
            header.encryptionIv = data;
            break;
        case ProtectedStreamKey:
            header.protectedStreamKey = data;
            break;
        case StreamStartBytes:
            header.streamStartBytes = data;
            break;
        case InnerRandomStreamId:
            if (data.size() != 4) {
                return Problem::Damaged;
            }
            header.innerStreamId = KdbxBytes::readLittleEndian<quint32>(data.constData());
            break;
        case KdfParameters: {
            const std::optional<VariantDictionary> parameters = VariantDictionary::parse(data);
            if (!parameters) {
                return Problem::Damaged;
            }
            header.kdf = KdbxKdf::fromParameters(*parameters);
            if (!header.kdf) {
                return Problem::UnsupportedKdf;
            }
            break;
        }
        default:
            break;
        }
    }
    return Problem::Damaged;
}

QByteArray field(char id, const QByteArray& data)
{
    return id + KdbxBytes::littleEndian(quint32(data.size())) + data;
}

} // namespace

KdbxHeader::Parsed KdbxHeader::parse(const QByteArray& file)
{
    Parsed parsed;
    if (file.size() < 12 || KdbxBytes::readLittleEndian<quint32>(file.constData()) != signature1) {
        parsed.problem = Problem::NotKeePass;
        return parsed;
    }
    const quint32 second = KdbxBytes::readLittleEndian<quint32>(file.constData() + 4);
    KdbxHeader header;
    header.version = KdbxBytes::readLittleEndian<quint32>(file.constData() + 8);
    if (second != signature2) {
        parsed.problem = second == keePass1Signature2 ? Problem::UnsupportedVersion : Problem::NotKeePass;
        return parsed;
    }
    if (header.majorVersion() != 3 && header.majorVersion() != 4) {
        parsed.problem = Problem::UnsupportedVersion;
        return parsed;
    }
    FieldReader reader{file, 12, header.majorVersion() >= 4};
    parsed.problem = readFields(reader, header);
    if (parsed.problem == Problem::None) {
        parsed.header = header;
        parsed.size = reader.at;
    }
    return parsed;
}

QByteArray KdbxHeader::serialized() const
{
    QByteArray bytes =
        KdbxBytes::littleEndian(signature1) + KdbxBytes::littleEndian(signature2) + KdbxBytes::littleEndian(version);
    bytes += field(CipherId, KdbxCrypto::cipherId(cipher));
    bytes += field(CompressionFlags, KdbxBytes::littleEndian(quint32(compressed ? 1 : 0)));
    bytes += field(MasterSeed, masterSeed);
    bytes += field(EncryptionIv, encryptionIv);
    bytes += field(KdfParameters, kdf->parameters().serialized());
    return bytes + field(EndOfHeader, QByteArrayLiteral("\r\n\r\n"));
}
