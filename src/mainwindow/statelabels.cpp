#include "mainwindow/statelabels.h"

#include "mainwindow/mainwindowlayout.h"
#include "mainwindow/mainwindowstate.h"
#include "storage/windows1252.h"

#include <QLabel>

#include <array>

namespace {

// A hidden label of the window and what it shows of the window's state.
struct StateLabel
{
    const char* name;
    QString (*text)(const MainWindowState& state);
};

const std::array<StateLabel, 7> stateLabels = {{
    {"lblInicioRetorna",
     [](const MainWindowState& state) { return QString::number(state.list.pager().inicioRetorna()); }},
    {"lblInicioAvanca",
     [](const MainWindowState& state) { return QString::number(state.list.pager().inicioAvanca()); }},
    {"lblSetaMais", [](const MainWindowState& state) { return QString::number(state.list.selectedRow()); }},
    {"lblSetaMenos", [](const MainWindowState& state) { return QString::number(state.list.pager().setaMenos()); }},
    {"lblListIndex",
     [](const MainWindowState& state) {
         return state.list.selectedEntry() < 0 ? QString() : QString::number(state.list.selectedEntry());
     }},
    {"lblAbreFecha",
     [](const MainWindowState& state) { return state.sideWindowsOpen ? QStringLiteral("X") : QString(); }},
    {"lblUsaSenha", [](const MainWindowState& state) { return Windows1252::toUnicode(state.settings.askAtStart); }},
}};

QList<const char*> names()
{
    QList<const char*> names;
    for (const StateLabel& label : stateLabels) {
        names.append(label.name);
    }
    return names;
}

} // namespace

StateLabels::StateLabels(const MainWindowLayout& layout) : m_labels(layout.addHiddenLabels(names())) {}

void StateLabels::show(const MainWindowState& state) const
{
    for (qsizetype i = 0; i < m_labels.size(); ++i) {
        m_labels.at(i)->setText(stateLabels.at(i).text(state));
    }
}
