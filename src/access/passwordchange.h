#pragma once

#include <QByteArray>
#include <QString>

// The checks made before the settings window stores a new master password: the current password must be typed
// exactly, the new one twice the same, and the new one may not be empty (an empty password would let anyone in).
namespace PasswordChange {

// An empty text when the change may be stored, otherwise the message that tells the user why not.
QString refusal(const QByteArray& masterPassword, const QString& current, const QString& newPassword,
                const QString& repetition);

} // namespace PasswordChange
