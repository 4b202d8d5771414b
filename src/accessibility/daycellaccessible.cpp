#include "accessibility/daycellaccessible.h"

#include "calendar/daycell.h"

#include <QLocale>

DayCellAccessible::DayCellAccessible(DayCell* cell) : QAccessibleWidget(cell, QAccessible::Button) {}

DayCell* DayCellAccessible::cell() const
{
    return static_cast<DayCell*>(widget());
}

QString DayCellAccessible::name(const DayCell& cell)
{
    if (!cell.date().isValid()) {
        return {};
    }
    const QString date = QLocale(QLocale::Portuguese, QLocale::Brazil)
                             .toString(cell.date(), QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
    return cell.isToday() ? date + QStringLiteral(", hoje") : date;
}

QAccessible::Role DayCellAccessible::role() const
{
    return cell()->date().isValid() ? QAccessible::Button : QAccessible::Client;
}

QString DayCellAccessible::text(QAccessible::Text which) const
{
    if (which == QAccessible::Name) {
        return name(*cell());
    }
    return which == QAccessible::Value ? QString() : QAccessibleWidget::text(which);
}

QAccessible::State DayCellAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = cell()->date().isValid();
    state.checked = cell()->isChosen();
    return state;
}

QStringList DayCellAccessible::actionNames() const
{
    return cell()->date().isValid() ? QStringList{pressAction()} : QStringList();
}

void DayCellAccessible::doAction(const QString& action)
{
    if (action == pressAction() && cell()->date().isValid()) {
        cell()->pick();
        return;
    }
    QAccessibleWidget::doAction(action);
}
