#include "access/passwordchange.h"

#include "access/masterpassword.h"

namespace PasswordChange {

QString refusal(const QByteArray& masterPassword, const QString& current, const QString& newPassword,
                const QString& repetition)
{
    if (!MasterPassword::matches(current, masterPassword) || newPassword != repetition) {
        return QStringLiteral("senhas não conferem!");
    }
    if (newPassword.isEmpty()) {
        return QStringLiteral("A nova senha não pode ficar em branco.\n"
                              "Para manter a senha atual, digite-a também nos campos da nova senha.");
    }
    return {};
}

} // namespace PasswordChange
