#pragma once

#include <QObject>

class QAbstractItemView;
class QAction;
class QKeyEvent;
class QKeySequence;
class QWidget;

// The main window's keyboard commands, each an action with its shortcut: Ctrl+N a new entry, Ctrl+B copies the login
// and Ctrl+C the password of the selected entry, wherever the focus is in the window; Escape closes the side windows
// while they are open; Enter on the list opens or closes them while a row of it is current. The commands' keys win
// over a control's own use of them: Ctrl+C in a box never copies the box's selected text, nor on the list the row's
// inner text.
class KeyCommands : public QObject
{
    Q_OBJECT

public:
    // The controls are those of the window that hold the focus and leave the commands' keys to them.
    KeyCommands(QWidget* window, QAbstractItemView* list, const QList<QWidget*>& controls);

    QAction* newEntry() const { return m_newEntry; }
    QAction* copyLogin() const { return m_copyLogin; }
    QAction* copyPassword() const { return m_copyPassword; }
    QAction* closeSideWindows() const { return m_closeSideWindows; }
    QAction* toggleSideWindows() const { return m_toggleSideWindows; }

    // Escape is taken only while the side windows are open.
    void setSideWindowsOpen(bool open);

signals:
    // One of the commands ran.
    void ran();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* add(QWidget* window, const QKeySequence& key);
    bool isCommandKey(const QKeyEvent& key) const;
    bool isToggleKey(const QKeyEvent& key) const;

    QAbstractItemView* m_list;
    QAction* m_newEntry;
    QAction* m_copyLogin;
    QAction* m_copyPassword;
    QAction* m_closeSideWindows;
    QAction* m_toggleSideWindows;
};
