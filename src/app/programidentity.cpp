#include "app/programidentity.h"

#include "platform/platform.h"

#include <QGuiApplication>

void nameProgram()
{
    // The user's data folder of an installed copy is named after these: ~/.local/share/Corvelo/KeyHound.
    QCoreApplication::setOrganizationName(QStringLiteral("Corvelo"));
    QCoreApplication::setApplicationName(QStringLiteral("KeyHound"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEYHOUND_VERSION));
    QGuiApplication::setApplicationDisplayName(Platform::programTitle());
    QGuiApplication::setDesktopFileName(QStringLiteral("keyhound"));
}
