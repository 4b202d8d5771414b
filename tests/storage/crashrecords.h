#pragma once

#include <QByteArray>

// What the crash-safety writer writes at its write number n (from 1): the same number always gives the same
// record, numbers sort in numeric order, and the password carries its number.
namespace CrashRecords {

inline QByteArray entry(int n)
{
    const QByteArray padded = QByteArray::number(n).rightJustified(6, '0');
    return "entrada " + padded + "\xA7----/----/----\xA7" + "26.03.06.10.00.00\xA7usuario\xA7senha\"" + padded;
}

inline QByteArray password(int n)
{
    return "senha " + QByteArray::number(n);
}

inline int numberOf(const QByteArray& password)
{
    return password.startsWith("senha ") ? password.mid(6).toInt() : 0;
}

} // namespace CrashRecords
