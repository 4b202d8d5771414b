#include "lock/idlepreference.h"

#include <QSettings>

namespace {

const QString key = QStringLiteral("lock/idleMinutes");
// A week: more is a mistake, and would overflow the timer's milliseconds.
constexpr int mostMinutes = 7 * 24 * 60;

} // namespace

namespace IdlePreference {

std::chrono::minutes read(const QSettings& preferences)
{
    bool isNumber = false;
    const int minutes = preferences.value(key).toString().trimmed().toInt(&isNumber);
    if (!isNumber || minutes < 0 || minutes > mostMinutes) {
        return standard;
    }
    return std::chrono::minutes(minutes);
}

std::chrono::minutes read()
{
    return read(QSettings());
}

} // namespace IdlePreference
