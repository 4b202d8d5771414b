#include "mainwindow/keycommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QKeyEvent>
#include <QWidget>

KeyCommands::KeyCommands(QWidget* window, QAbstractItemView* list, const QList<QWidget*>& controls)
    : QObject(window), m_list(list), m_newEntry(add(window, QKeySequence(Qt::CTRL | Qt::Key_N))),
      m_copyLogin(add(window, QKeySequence(Qt::CTRL | Qt::Key_B))),
      m_copyPassword(add(window, QKeySequence(Qt::CTRL | Qt::Key_C))),
      m_closeSideWindows(add(window, QKeySequence(Qt::Key_Escape))), m_toggleSideWindows(new QAction(this))
{
    // The list's own key: taken from the list when it gets it, never through the window's shortcuts.
    m_toggleSideWindows->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(m_toggleSideWindows, &QAction::triggered, this, &KeyCommands::ran);
    m_closeSideWindows->setEnabled(false);
    for (QWidget* control : controls) {
        control->installEventFilter(this);
    }
}

QAction* KeyCommands::add(QWidget* window, const QKeySequence& key)
{
    // Wherever the focus is in the window, and only there: never in the side windows or a dialog.
    auto* action = new QAction(window);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    window->addAction(action);
    connect(action, &QAction::triggered, this, &KeyCommands::ran);
    return action;
}

void KeyCommands::setSideWindowsOpen(bool open)
{
    m_closeSideWindows->setEnabled(open);
}

bool KeyCommands::isCommandKey(const QKeyEvent& key) const
{
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : {m_newEntry, m_copyLogin, m_copyPassword, m_closeSideWindows}) {
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            return true;
        }
    }
    return false;
}

bool KeyCommands::isToggleKey(const QKeyEvent& key) const
{
    const QKeyCombination pressed(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key()));
    return m_toggleSideWindows->shortcuts().contains(QKeySequence(pressed));
}

bool KeyCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (watched == m_list && isToggleKey(key)) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        // Without a current row, Enter is left to the list.
        if (m_list->currentIndex().isValid()) {
            m_toggleSideWindows->trigger();
            return true;
        }
        return false;
    }
    // A control that would keep a command's key for itself (a box its Ctrl+C) is not asked: the key goes on to the
    // window's shortcut.
    if (event->type() == QEvent::ShortcutOverride && isCommandKey(key)) {
        event->ignore();
        return true;
    }
    return false;
}
