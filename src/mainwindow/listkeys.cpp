#include "mainwindow/listkeys.h"

#include "mainwindow/listcontroller.h"
#include "mainwindow/pagelist.h"
#include "search/searchline.h"

#include <QKeyEvent>

ListKeys::ListKeys(PageList* list, SearchLine* search, const ListController& controller,
                   const QList<QWidget*>& controls)
    : QObject(list), m_list(list), m_search(search), m_controller(controller)
{
    for (QWidget* control : controls) {
        control->installEventFilter(this);
    }
}

bool ListKeys::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    const bool inList = watched == m_list;
    auto* key = static_cast<QKeyEvent*>(event);
    switch (type) {
    case QEvent::ShortcutOverride:
        if (inList && m_search->claimsKey(*key)) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::KeyPress:
        if (inList && m_search->takeKeyFromList(key)) {
            return true;
        }
        // Only keys pressed in the list come up under its release rule, not the Tab that brought the focus into it.
        m_listKeysDown = inList;
        return inList && turnsPage(key->key());
    case QEvent::KeyRelease:
        if (inList && !key->isAutoRepeat() && m_listKeysDown &&
            m_controller.movesRoundToLastRow(m_list->currentRow())) {
            m_list->setCurrentRow(m_list->count() - 1);
        }
        return false;
    default:
        return false;
    }
}

bool ListKeys::turnsPage(int key)
{
    const int row = m_list->currentRow();
    if (m_controller.goesToNextPage(key, row)) {
        emit pageTurnRequested(true);
        m_list->setCurrentRow(0);
        return true;
    }
    if (m_controller.goesToPreviousPage(key, row)) {
        emit pageTurnRequested(false);
        m_list->setCurrentRow(m_list->count() - 1);
        return true;
    }
    return false;
}
