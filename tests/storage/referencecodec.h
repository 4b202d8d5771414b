#pragma once

#include <QByteArray>
#include <QList>

// The file format built the slow, obvious way, step by step as documented, so that tests compare the real encoder
// against something that shares none of its code.
namespace ReferenceCodec {

// Key character for position (from 1) of a text: position itself up to the key's length, then (position mod
// length) + 1.
inline char keyCharacter(const QByteArray& key, int position)
{
    const int length = int(key.size());
    const int keyPosition = position <= length ? position : (position % length) + 1;
    return key.at(keyPosition - 1);
}

inline QByteArray encodeLine(const QByteArray& record, const QByteArray& key)
{
    QByteArray reversed;
    for (int i = int(record.size()) - 1; i >= 0; --i) {
        reversed.append(record.at(i));
    }
    QByteArray line;
    for (int position = 1; position <= reversed.size(); ++position) {
        int code = static_cast<unsigned char>(reversed.at(position - 1));
        if (!key.isEmpty()) {
            code = (code + static_cast<unsigned char>(keyCharacter(key, position)) + 64) % 256;
        }
        for (int bit = 7; bit >= 0; --bit) {
            line.append((code >> bit) & 1 ? '\x8F' : '\x7F');
        }
    }
    return line;
}

// Quote, the lines separated by CR LF, quote, CR LF.
inline QByteArray file(const QList<QByteArray>& lines)
{
    QByteArray bytes = "\"";
    for (int i = 0; i < lines.size(); ++i) {
        bytes += (i > 0 ? "\r\n" : "") + lines.at(i);
    }
    return bytes + "\"\r\n";
}

inline QByteArray settingsFile(const QByteArray& key, const QByteArray& password, const QByteArray& answer)
{
    return file({encodeLine(key + '\xA7' + password + '\xA7' + answer, "7305")});
}

} // namespace ReferenceCodec
