#pragma once

#include <QByteArray>

// What the crash-safety writer writes at its write number n (from 1): numbers sort in numeric order, and the
// password carries its number.
namespace CrashRecords {

inline QByteArray entry(int n)
{
    return "entrada " + QByteArray::number(n).rightJustified(6, '0') + "\xA7----/----/----\xA7senha\"";
}

inline QByteArray password(int n)
{
    return "senha " + QByteArray::number(n);
}

} // namespace CrashRecords
