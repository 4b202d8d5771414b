#pragma once

#include <QObject>

class Platform;
class QWidget;

// Takes the main window off the screen: minimised, or hidden to the notification area with the program's icon there.
// Without a notification area the window could never come back, so it is minimised instead.
class TrayControl : public QObject
{
    Q_OBJECT

public:
    TrayControl(Platform& platform, QWidget* window);

    void minimise();
    void hideToTray();

signals:
    // The window is leaving the screen: the side windows go with it.
    void leaving();

private:
    Platform& m_platform;
    QWidget* m_window;
};
