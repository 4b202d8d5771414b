#include "platform/windowfront.h"

#include <QGuiApplication>
#include <QWidget>

void bringWindowToFront(QWidget* window)
{
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        window->hide();
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
