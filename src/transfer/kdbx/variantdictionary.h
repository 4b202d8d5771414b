#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The typed name-value list that KeePass 4 files hold their key derivation parameters in.
class VariantDictionary
{
public:
    void setUInt32(const QString& name, quint32 value);
    void setUInt64(const QString& name, quint64 value);
    void setBytes(const QString& name, const QByteArray& value);

    // The value stored under the name with that type, or nullopt.
    std::optional<quint32> uint32(const QString& name) const;
    std::optional<quint64> uint64(const QString& name) const;
    std::optional<QByteArray> bytes(const QString& name) const;

    QByteArray serialized() const;
    // nullopt when the bytes are not such a list of a version this reader knows.
    static std::optional<VariantDictionary> parse(const QByteArray& bytes);

private:
    enum Type : char
    {
        UInt32 = 0x04,
        UInt64 = 0x05,
        ByteArray = 0x42,
    };
    struct Item
    {
        char type;
        QByteArray name;
        QByteArray value;
    };

    void set(char type, const QString& name, const QByteArray& value);
    const QByteArray* find(char type, const QString& name, qsizetype size) const;

    QList<Item> m_items;
};
