#pragma once

#include <QByteArray>
#include <QString>

// The master password is stored as Windows-1252 bytes; what the user types is compared with it byte for byte,
// letter case included.
namespace MasterPassword {

// Typed text with a character that Windows-1252 cannot hold never matches, not even a stored "?".
bool matches(const QString& typed, const QByteArray& stored);

} // namespace MasterPassword
