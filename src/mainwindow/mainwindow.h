#pragma once

#include "calendar/clock.h"
#include "mainwindow/mainwindowlayout.h"
#include "mainwindow/mainwindowstate.h"
#include "mainwindow/statelabels.h"
#include "search/entrymatcher.h"

#include <QWidget>

#include <optional>

class EntryListModel;
class KeyCommands;
class MainWindowDialogs;
class Platform;
class SideWindows;
class TrayControl;
class Vault;

// frm0_Inicial: the borderless main window, which wires its parts together. It shows the entries fifteen to a page, the login and password of the
// selected entry with a copy button for each, and fills, places, shows and hides the two side windows of the
// selected entry. It opens the new-entry, settings, help and about windows, hides itself to the notification
// area, and ends the program when it is closed. Typing a text opens a search line over the list, and the list then
// pages through the entries found only. Entries that have expired or expire soon stand out in the list.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    using State = MainWindowState;

    MainWindow(Vault& vault, Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    const State& state() const { return m_state; }

    SideWindows* sideWindows() const { return m_sideWindows; }

    // Where today's date comes from, for the expiry marks and the side windows; the system clock unless a test says
    // otherwise.
    void setClock(Clock clock);

public slots:
    // Shows the window again, from the notification area or minimised, in front of the others.
    void bringToFront();
    // Shows the text in the notice label for two seconds.
    void showNotice(const QString& text);

signals:
    // The user closed the program.
    void programEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectControls();
    void showFirstPage();
    void showPage();
    void turnPage(bool forward);
    void selectRow(int row);
    void connectKeyCommands();
    void readSettings();

    void showMatches();
    void closeSearch();
    QList<qsizetype> findMatches();
    // Shows the state: the page number, the entry count, the page arrows and the hidden labels.
    void showState();

    void setSideWindowsOpen(bool open);
    void toggleSideWindows();
    void closeSideWindows();
    // The side windows were closed or destroyed: the next double-click opens them.
    void forgetSideWindows();
    void placeSideWindows();

    void endProgram();

    Vault& m_vault;
    Platform& m_platform;
    SideWindows* m_sideWindows = nullptr;
    State m_state;
    bool m_ended = false;
    Clock m_clock = systemClock();

    EntryListModel* m_entries;
    MainWindowLayout m_layout;
    StateLabels m_stateLabels;
    MainWindowDialogs* m_dialogs;
    TrayControl* m_tray;
    KeyCommands* m_keys = nullptr;
    // Made when a search first needs it, dropped when the entries change.
    std::optional<EntryMatcher> m_matcher;
};
