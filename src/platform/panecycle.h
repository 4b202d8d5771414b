#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QWidget;

// F6 moves the keyboard to the next of a group of windows that work as one (the main window and its side windows),
// Shift+F6 to the previous, wherever the focus is in them: the window is brought in front and activated, and its last
// focused control, or the first one Tab reaches, gets the focus. The group is asked each time, in its order; windows
// not shown are passed over.
class PaneCycle : public QObject
{
    Q_OBJECT

public:
    using Panes = std::function<QList<QWidget*>()>;

    PaneCycle(Panes panes, QObject* parent);

    // Moves to the pane after (or before) the one holding the focus; false when there is nowhere to go.
    bool move(bool forward);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> shownPanes() const;

    Panes m_panes;
};
