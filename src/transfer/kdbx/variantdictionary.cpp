#include "transfer/kdbx/variantdictionary.h"

#include "transfer/kdbx/kdbxbytes.h"

namespace {

constexpr quint16 version = 0x0100;
constexpr quint16 majorVersionMask = 0xFF00;

} // namespace

void VariantDictionary::setUInt32(const QString& name, quint32 value)
{
    set(UInt32, name, KdbxBytes::littleEndian(value));
}

void VariantDictionary::setUInt64(const QString& name, quint64 value)
{
    set(UInt64, name, KdbxBytes::littleEndian(value));
}

void VariantDictionary::setBytes(const QString& name, const QByteArray& value)
{
    set(ByteArray, name, value);
}

std::optional<quint32> VariantDictionary::uint32(const QString& name) const
{
    const QByteArray* value = find(UInt32, name, 4);
    return value ? std::optional(KdbxBytes::readLittleEndian<quint32>(value->constData())) : std::nullopt;
}

std::optional<quint64> VariantDictionary::uint64(const QString& name) const
{
    const QByteArray* value = find(UInt64, name, 8);
    return value ? std::optional(KdbxBytes::readLittleEndian<quint64>(value->constData())) : std::nullopt;
}

std::optional<QByteArray> VariantDictionary::bytes(const QString& name) const
{
    const QByteArray* value = find(ByteArray, name, -1);
    return value ? std::optional(*value) : std::nullopt;
}

QByteArray VariantDictionary::serialized() const
{
    QByteArray bytes = KdbxBytes::littleEndian(version);
    for (const Item& item : m_items) {
        bytes += item.type;
        bytes += KdbxBytes::littleEndian(qint32(item.name.size())) + item.name;
        bytes += KdbxBytes::littleEndian(qint32(item.value.size())) + item.value;
    }
    return bytes + '\0';
}

std::optional<VariantDictionary> VariantDictionary::parse(const QByteArray& bytes)
{
    if (bytes.size() < 3 ||
        (KdbxBytes::readLittleEndian<quint16>(bytes.constData()) & majorVersionMask) != (version & majorVersionMask)) {
        return std::nullopt;
    }
    VariantDictionary dictionary;
    qsizetype at = 2;
    const auto piece = [&bytes, &at](QByteArray* out) {
        if (bytes.size() - at < 4) {
            return false;
        }
        const qint32 size = KdbxBytes::readLittleEndian<qint32>(bytes.constData() + at);
        at += 4;
        if (size < 0 || bytes.size() - at < size) {
            return false;
        }
        *out = bytes.mid(at, size);
        at += size;
        return true;
    };
    while (at < bytes.size()) {
        const char type = bytes.at(at++);
        if (type == '\0') {
            return dictionary;
        }
        Item item{type, {}, {}};
        if (!piece(&item.name) || !piece(&item.value)) {
            return std::nullopt;
        }
        dictionary.m_items.append(item);
    }
    return std::nullopt;
}

void VariantDictionary::set(char type, const QString& name, const QByteArray& value)
{
    m_items.append({type, name.toUtf8(), value});
}

const QByteArray* VariantDictionary::find(char type, const QString& name, qsizetype size) const
{
    const QByteArray key = name.toUtf8();
    for (const Item& item : m_items) {
        if (item.name == key) {
            return item.type == type && (size < 0 || item.value.size() == size) ? &item.value : nullptr;
        }
    }
    return nullptr;
}
