#pragma once

#include "calendar/monthgrid.h"

#include <QString>

// How one window lays out its month calendar, in twips within the frame. The new-entry window's calendar
// (CalendarioEscrever) writes full month names, the update window's (CalendarioAtualizar) three-letter ones; the
// calendar's behaviour is the same in both.
struct CalendarLayout
{
    // Day cells are named cellName, an underscore and the cell index: "Casa2_0" to "Casa2_41".
    QString cellName;
    MonthGrid::Names names;
    int left;
    int width;
    int height;
    int shownTop;
    int hiddenTop;
    int cellWidth;
    int cellHeight;
    int columnStep;
    int rowStep;
    int gridLeft;
    int gridTop;

    static const CalendarLayout& CalendarioEscrever();
    static const CalendarLayout& CalendarioAtualizar();
};
