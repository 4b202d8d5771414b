#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The character cipher and the small text routines both data files are built from. Texts are single-byte
// Windows-1252; keys are texts of decimal digits.
//
// The key character for position i (counting from 1) of a text, with a key of length L, is key[i] while i <= L and
// key[(i mod L) + 1] after that: after the first pass the key runs one position ahead of a plain repetition.

// The key characters for the positions of a text, one after the other, by the rule above.
class KeyStream
{
public:
    explicit KeyStream(QByteArrayView key) : m_key(key) {}

    // The code of the key character for the next position; the key must not be empty.
    unsigned next()
    {
        const auto code = static_cast<unsigned char>(m_key[m_index]);
        if (++m_index == m_key.size()) {
            m_index = m_firstPass ? 1 % m_key.size() : 0;
            m_firstPass = false;
        }
        return code;
    }

private:
    QByteArrayView m_key;
    qsizetype m_index = 0;
    bool m_firstPass = true;
};

// The cipher of one character under the code of its key character: (code + key code + 64) mod 256, and its inverse.
inline unsigned encipheredCode(unsigned code, unsigned keyCode)
{
    return (code + keyCode + 64) & 0xFF;
}
inline unsigned decipheredCode(unsigned code, unsigned keyCode)
{
    return (code + 512 - keyCode - 64) & 0xFF;
}

// Replaces every occurrence of from, left to right; inserted text is never searched again. An empty from
// leaves the text unchanged.
QByteArray ReplaceText(QByteArrayView text, QByteArrayView from, QByteArrayView to);

// The text without leading and trailing spaces (only the space character, code 32).
QByteArrayView trimSpaces(QByteArrayView text);

// Trims spaces, ignores a leading "&B" and any inner spaces, keeps the last 32 digits; '1' is a set bit, any other
// character a clear one. An empty text gives 0.
qint32 binaryTextToNumber(QByteArrayView text);
