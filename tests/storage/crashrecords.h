#pragma once

#include <QByteArray>

// The records the crash-safety writer adds, numbered from 1: the same number always gives the same record, and
// numbers sort in their numeric order.
namespace CrashRecords {

inline QByteArray entry(int number)
{
    const QByteArray n = QByteArray::number(number).rightJustified(6, '0');
    return "entrada " + n + "\xA7----/----/----\xA7" + "26.03.06.10.00.00\xA7usuario" + n + "\xA7senha\"" + n +
           "\xA7https://exemplo.com.br/" + n + "\xA7linha um\xA5linha dois";
}

inline QByteArray password(int number)
{
    return "senha " + QByteArray::number(number);
}

inline bool asksAtStart(int number)
{
    return number % 2 == 1;
}

} // namespace CrashRecords
