#pragma once

#include "calendar/clock.h"
#include "mainwindow/listcontroller.h"
#include "search/entrymatcher.h"
#include "storage/settingsfile.h"

#include <QBrush>
#include <QWidget>

#include <optional>

class EntryListModel;
class NoticeLabel;
class PageList;
class PictureButton;
class Platform;
class QDialog;
class QKeyEvent;
class QLabel;
class QLineEdit;
class SearchLine;
class SideWindows;
class Vault;

// frm0_Inicial: the borderless main window. It shows the entries fifteen to a page, the login and password of the
// selected entry with a copy button for each, and fills, places, shows and hides the two side windows of the
// selected entry. It opens the new-entry, settings, help and about windows, hides itself to the notification
// area, and ends the program when it is closed. Typing a text opens a search line over the list, and the list then
// pages through the entries found only. Entries that have expired or expire soon stand out in the list.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // What the window keeps about its list, its selection, its side windows and the settings. Hidden labels below
    // the window show it for other programs to read; nothing reads it back from them.
    struct State
    {
        // The paging of the list shown, every entry or while a search is open the entries found, and the selection.
        ListController list;
        bool sideWindowsOpen = false;
        // The settings as last read.
        Settings settings;
    };

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
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placeOnScreen();
    void buildTitleBar();
    void buildEntryBoxes();
    void buildList();
    void buildPageArrows();
    void buildBottomButtons();
    void buildStateLabels();
    QLabel* addLabel(const QString& name, const QString& text, const QRect& place);

    void showFirstPage();
    void showPage();
    void turnPage(bool forward);
    void selectRow(int row);
    // The window's keyboard commands, wherever the focus is in it: Ctrl+N a new entry, Ctrl+B copies the login and
    // Ctrl+C the password of the selected entry, Escape closes the side windows, and Enter on the list opens or
    // closes them. True when the key, sent to the receiver, was one of them.
    bool runKeyCommand(const QKeyEvent& key, const QObject* receiver);
    void listenForKeyCommands();
    bool handleListKeyPress(int key);
    void handleListKeyRelease();
    void readSettings();

    // Find by typing: the one place where keys for the search line are taken from the list.
    bool handleSearchKey(QEvent* event);
    void showMatches();
    void closeSearch();
    void placeNoticeAbove(int reservedBottom);
    QList<qsizetype> findMatches();
    void announceExpired();
    // Shows the state: the page number, the entry count, the page arrows and the hidden labels.
    void showState();

    void setSideWindowsOpen(bool open);
    void toggleSideWindows();
    void closeSideWindows();
    // The side windows were closed or destroyed: the next double-click opens them.
    void forgetSideWindows();
    void placeSideWindows();

    void minimise();
    void hideToTray();
    void endProgram();
    void openSettings();
    void openNewEntry();
    void openHelp();
    void openAbout();
    void showModal(QDialog& dialog);

    Vault& m_vault;
    Platform& m_platform;
    SideWindows* m_sideWindows = nullptr;
    State m_state;
    // The last key pressed went to the list and ran no command.
    bool m_listKeysDown = false;
    bool m_ended = false;
    Clock m_clock = systemClock();

    SearchLine* m_search = nullptr;
    // Made when a search first needs it, dropped when the entries change.
    std::optional<EntryMatcher> m_matcher;
    bool m_expiryAnnounced = false;

    QBrush m_listBrush;
    EntryListModel* m_entries = nullptr;
    PageList* m_list = nullptr;
    QLineEdit* m_txtLogin = nullptr;
    QLineEdit* m_txtSenha = nullptr;
    PictureButton* m_copyLogin = nullptr;
    PictureButton* m_copyPassword = nullptr;
    PictureButton* m_newEntry = nullptr;
    PictureButton* m_imgAvanca = nullptr;
    PictureButton* m_imgRetorna = nullptr;
    QLabel* m_lblPagina = nullptr;
    QLabel* m_lblTotalLembretes = nullptr;
    NoticeLabel* m_notice = nullptr;
    // In the order of the names that buildStateLabels gives them.
    QList<QLabel*> m_stateLabels;
};
