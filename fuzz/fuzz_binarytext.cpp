// Compares the binary-text reader with a plain reading of its documented steps.
#include "storage/cipher.h"

#include <cstdint>
#include <cstdlib>

// The tests build this file again under another name to replay the seed corpus and every input that once failed.
#ifndef FUZZ_ENTRY
#define FUZZ_ENTRY LLVMFuzzerTestOneInput
#endif
#include <string>

namespace {

// 32 characters '0'/'1', most significant bit first (two's complement for negative numbers).
QByteArray numberToBinaryText(qint32 number)
{
    const auto bits = static_cast<quint32>(number);
    QByteArray digits(32, '0');
    for (int i = 0; i < 32; ++i) {
        if (bits & (1u << (31 - i))) {
            digits[i] = '1';
        }
    }
    return digits;
}

qint32 documentedValue(std::string text)
{
    const auto first = text.find_first_not_of(' ');
    text = first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
    for (char& c : text) {
        c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    if (text.rfind("&B", 0) == 0) {
        text.erase(0, 2);
    }
    std::string digits;
    for (const char c : text) {
        if (c != ' ') {
            digits += c;
        }
    }
    if (digits.size() < 32) {
        digits.insert(0, 32 - digits.size(), '0');
    }
    digits = digits.substr(digits.size() - 32);
    quint32 bits = 0;
    for (const char c : digits) {
        bits = (bits << 1) | (c == '1' ? 1u : 0u);
    }
    return qint32(bits);
}

} // namespace

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const qint32 number = binaryTextToNumber(QByteArrayView(text.data(), qsizetype(text.size())));
    if (number != documentedValue(text) || binaryTextToNumber(numberToBinaryText(number)) != number) {
        std::abort();
    }
    return 0;
}
