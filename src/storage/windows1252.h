#pragma once

#include <QByteArray>
#include <QString>

// Records are single-byte Windows-1252 text; windows show QString. These convert at that boundary, with a table of
// our own for 0x80-0x9F so that the conversion is the same on every platform. The five codes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value and back, so every byte
// survives a round trip.
namespace Windows1252 {

QString toUnicode(const QByteArray& bytes);
// The same into a text whose memory is kept when it is large enough: for converting many records one after another.
void toUnicode(QByteArrayView bytes, QString& into);
// Characters with no Windows-1252 code are not silently replaced: *ok turns false and they come out as '?'.
QByteArray fromUnicode(const QString& text, bool* ok = nullptr);
bool canEncode(QChar character);

} // namespace Windows1252
