#pragma once

#include <chrono>

class QSettings;

// How long the program may go without input before it locks: the whole number of minutes under "lock/idleMinutes"
// in the user's preferences (~/.config/Corvelo/KeyHound.conf), five when it is missing or not a number of minutes,
// zero to never lock for that.
namespace IdlePreference {

inline constexpr std::chrono::minutes standard{5};

std::chrono::minutes read(const QSettings& preferences);
// The same, from the user's own preferences.
std::chrono::minutes read();

} // namespace IdlePreference
