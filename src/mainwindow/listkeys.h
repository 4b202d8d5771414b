#pragma once

#include <QList>
#include <QObject>

class ListController;
class PageList;
class SearchLine;
class QWidget;

// The keys of the main list beyond the list's own: find by typing takes what it claims first, before the window's
// shortcuts see it (so Escape closes an open search before the side windows); Down on the last row and Up on the
// first turn the page; and when a key pressed in the list comes up, the first row may move round to the last, as
// the list controller says. The other controls are watched too, so that a key pressed there (the Tab that brings the
// focus into the list) never counts as pressed in the list.
class ListKeys : public QObject
{
    Q_OBJECT

public:
    ListKeys(PageList* list, SearchLine* search, const ListController& controller, const QList<QWidget*>& controls);

    // A window command took a key: it never reached a control.
    void commandRan() { m_listKeysDown = false; }

signals:
    void pageTurnRequested(bool forward);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool turnsPage(int key);

    PageList* m_list;
    SearchLine* m_search;
    const ListController& m_controller;
    // The last key pressed went to the list and ran no command.
    bool m_listKeysDown = false;
};
