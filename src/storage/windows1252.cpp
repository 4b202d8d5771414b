#include "storage/windows1252.h"

#include <QtEndian>

#include <algorithm>
#include <array>

namespace {

// Unicode of the codes 0x80 to 0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> highControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int codeOf(QChar character)
{
    const char16_t unicode = character.unicode();
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF)) {
        return unicode;
    }
    for (int i = 0; i < int(highControls.size()); ++i) {
        if (highControls[i] == unicode) {
            return 0x80 + i;
        }
    }
    return -1;
}

bool isHighControl(char byte)
{
    return static_cast<unsigned char>(byte) - 0x80u < 0x20u;
}

// Whether any byte is one of 0x80-0x9F, eight bytes at a time: a byte is one when its three high bits are 100.
bool holdsHighControl(QByteArrayView bytes)
{
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 highBits = ones * 0x80;
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        // A zero byte where the byte is a high control.
        const quint64 differing = (qFromUnaligned<quint64>(bytes.data() + i) & (ones * 0xE0)) ^ highBits;
        if (((differing - ones) & ~differing & highBits) != 0) {
            return true;
        }
    }
    return std::any_of(bytes.begin() + i, bytes.end(), isHighControl);
}

} // namespace

namespace Windows1252 {

QString toUnicode(const QByteArray& bytes)
{
    QString text;
    toUnicode(bytes, text);
    return text;
}

void toUnicode(QByteArrayView bytes, QString& into)
{
    // Latin-1 but for 0x80-0x9F, which few texts hold: Qt's own Latin-1 conversion is many times faster than a
    // table looked up for every byte.
    into = QLatin1StringView(bytes);
    if (!holdsHighControl(bytes)) {
        return;
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (isHighControl(bytes[i])) {
            into[i] = QChar(highControls[static_cast<unsigned char>(bytes[i]) - 0x80]);
        }
    }
}

QByteArray fromUnicode(const QString& text, bool* ok)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool allEncoded = true;
    char* out = bytes.data();
    for (const QChar character : text) {
        const int code = codeOf(character);
        allEncoded = allEncoded && code >= 0;
        *out++ = static_cast<char>(code >= 0 ? code : '?');
    }
    if (ok) {
        *ok = allEncoded;
    }
    return bytes;
}

bool canEncode(QChar character)
{
    return codeOf(character) >= 0;
}

} // namespace Windows1252
