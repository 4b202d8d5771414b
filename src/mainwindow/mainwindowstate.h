#pragma once

#include "mainwindow/listcontroller.h"
#include "storage/settingsfile.h"

// What the main window keeps about its list, its selection, its side windows and the settings. Hidden labels below
// the window show it for other programs to read; nothing reads it back from them.
struct MainWindowState
{
    // The paging of the list shown, every entry or while a search is open the entries found, and the selection.
    ListController list;
    bool sideWindowsOpen = false;
    // The settings as last read.
    Settings settings;
};
