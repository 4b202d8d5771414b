#pragma once

#include <QDateTime>

#include <functional>

// Where the windows read the current date and time; tests hand in a fixed one.
using Clock = std::function<QDateTime()>;

inline Clock systemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}
