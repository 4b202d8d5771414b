#include "app/qtplatformchoice.h"

namespace {

bool isWaylandSession(const QProcessEnvironment& environment)
{
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
           environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
}

} // namespace

QString qtPlatformFor(const QProcessEnvironment& environment)
{
    const bool userChose = !environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty();
    const bool hasXWayland = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    if (!userChose && isWaylandSession(environment) && hasXWayland) {
        return QStringLiteral("xcb");
    }
    return {};
}

void chooseQtPlatform()
{
    const QString platform = qtPlatformFor(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform.toLatin1());
    }
}
