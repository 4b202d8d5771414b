#include "access/masterpassword.h"

#include "storage/windows1252.h"

namespace MasterPassword {

bool matches(const QString& typed, const QByteArray& stored)
{
    bool encodable = false;
    const QByteArray typedBytes = Windows1252::fromUnicode(typed, &encodable);
    return encodable && typedBytes == stored;
}

} // namespace MasterPassword
