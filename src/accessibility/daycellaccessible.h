#pragma once

#include <QAccessibleWidget>

class DayCell;

// A day of the month calendar as assistive tools see it: a button named by its full date in Portuguese ("sábado, 15
// de março de 2008"), with ", hoje" for today; the date the window holds is the checked one. A blank cell is a filler
// with no name. Pressing it picks the day, as a click does.
class DayCellAccessible : public QAccessibleWidget
{
public:
    explicit DayCellAccessible(DayCell* cell);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text which) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

    static QString name(const DayCell& cell);

private:
    DayCell* cell() const;
};
