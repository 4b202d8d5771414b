#pragma once

#include <QList>

class MainWindowLayout;
class QLabel;
struct MainWindowState;

// The main window's hidden labels (lblInicioRetorna, lblSetaMais, lblAbreFecha, ...), each showing a part of the
// window's state for other programs to read. The installation key and the master password have none: any program
// on the user's accessibility bus reads every label, hidden or not.
class StateLabels
{
public:
    explicit StateLabels(const MainWindowLayout& layout);

    void show(const MainWindowState& state) const;

private:
    QList<QLabel*> m_labels;
};
