#pragma once

#include <QtGlobal>

// What one Argon2 key derivation costs: memory, passes over it, and lanes run side by side.
struct KdbxCost
{
    quint64 memoryBytes = 0;
    quint64 iterations = 0;
    quint32 parallelism = 1;
};
