#include "platform/panecycle.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

PaneCycle::PaneCycle(Panes panes, QObject* parent) : QObject(parent), m_panes(std::move(panes))
{
    qApp->installEventFilter(this);
}

QList<QWidget*> PaneCycle::shownPanes() const
{
    QList<QWidget*> shown;
    for (QWidget* pane : m_panes()) {
        if (pane != nullptr && pane->isVisible() && !pane->isMinimized()) {
            shown.append(pane);
        }
    }
    return shown;
}

bool PaneCycle::move(bool forward)
{
    const QList<QWidget*> panes = shownPanes();
    QWidget* focus = QApplication::focusWidget();
    const qsizetype at = focus == nullptr ? -1 : panes.indexOf(focus->window());
    if (at < 0 || panes.size() < 2) {
        return false;
    }
    QWidget* target = panes.at((at + (forward ? 1 : panes.size() - 1)) % panes.size());
    target->raise();
    target->activateWindow();
    QWidget* control = target->focusWidget();
    if (control == nullptr) {
        control = target->nextInFocusChain();
        while (control != target && !(control->focusPolicy() & Qt::TabFocus && control->isVisibleTo(target))) {
            control = control->nextInFocusChain();
        }
    }
    control->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool PaneCycle::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool back = key->modifiers() == Qt::ShiftModifier;
    if (key->key() != Qt::Key_F6 || (key->modifiers() != Qt::NoModifier && !back)) {
        return false;
    }
    return move(!back);
}
