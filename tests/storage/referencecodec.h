#pragma once

#include <QByteArray>
#include <QList>

// The file format built the slow, obvious way, step by step, so that tests compare the real encoder against
// something that shares none of its code.
namespace ReferenceCodec {

// Reversed; each code plus the key character plus 64 (the key character at position p, from 1, is p itself up to
// the key's length, then (p mod length) + 1); each code as eight markers, 8F for 1 and 7F for 0.
inline QByteArray encodeLine(const QByteArray& record, const QByteArray& key)
{
    QByteArray line;
    for (int position = 1; position <= record.size(); ++position) {
        const int keyPosition = position <= key.size() ? position : int(position % key.size()) + 1;
        const int code = (static_cast<unsigned char>(record.at(record.size() - position)) +
                          static_cast<unsigned char>(key.at(keyPosition - 1)) + 64) %
                         256;
        for (int bit = 7; bit >= 0; --bit) {
            line.append((code >> bit) & 1 ? '\x8F' : '\x7F');
        }
    }
    return line;
}

// Quote, the records' lines separated by CR LF, quote, CR LF.
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

// What the crash-safety writer adds at its write number n (from 1): numbers sort in numeric order.
inline QByteArray crashEntry(int n)
{
    return "entrada " + QByteArray::number(n).rightJustified(6, '0') + "\xA7----/----/----\xA7senha\"";
}

} // namespace ReferenceCodec
