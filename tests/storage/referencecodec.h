#pragma once

#include <QByteArray>
#include <QList>

// The file format built the slow, obvious way, sharing no code with the real encoder.
namespace ReferenceCodec {

// Reversed; each code plus 64 and the key character at p (past the key's end, at (p mod length) + 1); 8F 1, 7F 0.
inline QByteArray encodeLine(const QByteArray& record, const QByteArray& key)
{
    QByteArray line;
    for (int position = 1; position <= record.size(); ++position) {
        const int keyPosition = position <= key.size() ? position : int(position % key.size()) + 1;
        const int code = uchar(record.at(record.size() - position)) + uchar(key.at(keyPosition - 1)) + 64;
        for (int bit = 7; bit >= 0; --bit) {
            line.append((code >> bit) & 1 ? '\x8F' : '\x7F');
        }
    }
    return line;
}

inline QByteArray file(const QList<QByteArray>& records, const QByteArray& key)
{
    QList<QByteArray> lines;
    for (const QByteArray& record : records) {
        lines.append(encodeLine(record, key));
    }
    return "\"" + lines.join("\r\n") + "\"\r\n";
}

inline QByteArray settingsFile(const QByteArray& key, const QByteArray& password, const QByteArray& answer)
{
    return file({key + '\xA7' + password + '\xA7' + answer}, "7305");
}

// The entry the storage action adds at its write n: numbers sort in numeric order.
inline QByteArray crashEntry(int n)
{
    return "entrada " + QByteArray::number(n).rightJustified(6, '0') + "\xA7----/----/----\xA7senha\"";
}

inline QByteArray crashVault(int entries, const QByteArray& key)
{
    QList<QByteArray> records;
    for (int n = 1; n <= entries; ++n) {
        records.append(crashEntry(n));
    }
    return entries == 0 ? "\"\r\n\"\r\n" : file(records, key);
}

} // namespace ReferenceCodec
