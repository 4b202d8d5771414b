#include "storage/cipher.h"

QByteArray ReplaceText(QByteArrayView text, QByteArrayView from, QByteArrayView to)
{
    if (from.isEmpty()) {
        return text.toByteArray();
    }
    QByteArray result;
    result.reserve(text.size());
    qsizetype start = 0;
    for (qsizetype found = text.indexOf(from); found >= 0; found = text.indexOf(from, start)) {
        result.append(text.sliced(start, found - start));
        result.append(to);
        start = found + from.size();
    }
    result.append(text.sliced(start));
    return result;
}

QByteArrayView trimSpaces(QByteArrayView text)
{
    while (!text.isEmpty() && text.front() == ' ') {
        text = text.sliced(1);
    }
    while (!text.isEmpty() && text.back() == ' ') {
        text.chop(1);
    }
    return text;
}

qint32 binaryTextToNumber(QByteArrayView text)
{
    QByteArrayView trimmed = trimSpaces(text);
    if (trimmed.size() >= 2 && trimmed[0] == '&' && (trimmed[1] == 'B' || trimmed[1] == 'b')) {
        trimmed = trimmed.sliced(2);
    }
    quint32 bits = 0;
    for (const char character : trimmed) {
        if (character != ' ') {
            bits = (bits << 1) | (character == '1' ? 1u : 0u);
        }
    }
    return static_cast<qint32>(bits);
}
