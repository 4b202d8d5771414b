#include "mainwindow/traycontrol.h"

#include "platform/platform.h"

#include <QWidget>

TrayControl::TrayControl(Platform& platform, QWidget* window) : QObject(window), m_platform(platform), m_window(window)
{}

void TrayControl::minimise()
{
    emit leaving();
    m_window->showMinimized();
}

void TrayControl::hideToTray()
{
    if (!m_platform.isTrayAvailable()) {
        minimise();
        return;
    }
    m_window->hide();
    emit leaving();
    m_platform.showTrayIcon(m_window->windowIcon(), Platform::programTitle());
}
