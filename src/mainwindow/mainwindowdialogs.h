#pragma once

#include <QObject>

class Platform;
class QDialog;
class QWidget;
class Vault;

// The windows the main window opens over itself, each modal and placed at the same offset from the main window's
// corner: the settings, a new entry, the help and the about window.
class MainWindowDialogs : public QObject
{
    Q_OBJECT

public:
    MainWindowDialogs(Vault& vault, Platform& platform, QWidget* window);

    void openSettings();
    void openNewEntry();
    void openHelp();
    void openAbout();

signals:
    // A window asked for a short notice on the main window.
    void noticeRequested(const QString& text);

private:
    void showModal(QDialog& dialog);

    Vault& m_vault;
    Platform& m_platform;
    QWidget* m_window;
};
