#pragma once

#include <QStringList>

class QWidget;

// Makes Tab walk the window's controls in the order given by their object names, the way the window reads: top to
// bottom, left to right on each line. Controls that cannot take the focus at the moment are passed over by Tab.
void setTabOrderByName(QWidget* window, const QStringList& names);
