#include "mainwindow/mainwindowdialogs.h"

#include "access/settingswindow.h"
#include "entries/newentrywindow.h"
#include "info/aboutwindow.h"
#include "info/helpwindow.h"
#include "mainwindow/mainwindowlayout.h"
#include "platform/modalrun.h"

MainWindowDialogs::MainWindowDialogs(Vault& vault, Platform& platform, QWidget* window)
    : QObject(window), m_vault(vault), m_platform(platform), m_window(window)
{}

void MainWindowDialogs::showModal(QDialog& dialog)
{
    dialog.move(m_window->frameGeometry().topLeft() + MainWindowLayout::modalOffset());
    runModal(dialog);
}

void MainWindowDialogs::openSettings()
{
    SettingsWindow settings(m_vault, m_platform, m_window);
    showModal(settings);
}

void MainWindowDialogs::openNewEntry()
{
    NewEntryWindow newEntry(m_vault, m_platform, m_window);
    connect(&newEntry, &NewEntryWindow::noticeRequested, this, &MainWindowDialogs::noticeRequested);
    showModal(newEntry);
}

void MainWindowDialogs::openHelp()
{
    HelpWindow help(m_window);
    showModal(help);
}

void MainWindowDialogs::openAbout()
{
    AboutWindow about(m_platform, m_window);
    showModal(about);
}
