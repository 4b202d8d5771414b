#pragma once

#include <QByteArray>
#include <QString>

// One row of the main list: the display row the list holds and draws, and what a screen reader says of it, the
// entry's title and expiry date in words, made from the record itself.
struct ListRow
{
    QString shown;
    QString spoken;

    static ListRow of(const QByteArray& record, qsizetype index);
};
