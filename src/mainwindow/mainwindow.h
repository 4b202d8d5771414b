#pragma once

#include <QWidget>

class Platform;
class Vault;

// frm0_Inicial: the borderless main window with the page of entries.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    MainWindow(Vault& vault, Platform& platform, QWidget* parent = nullptr);

signals:
    // The user closed the program.
    void programEnded();

private:
    Vault& m_vault;
    Platform& m_platform;
};
