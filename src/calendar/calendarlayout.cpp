#include "calendar/calendarlayout.h"

const CalendarLayout& CalendarLayout::CalendarioEscrever()
{
    static const CalendarLayout layout{
        .cellName = QStringLiteral("Casa2"),
        .names = MonthGrid::Names::Full,
        .left = 0,
        .width = 3420,
        .height = 2175,
        .shownTop = 1360,
        .hiddenTop = 4500,
        .cellWidth = 405,
        .cellHeight = 240,
        .columnStep = 420,
        .rowStep = 255,
        .gridLeft = 248,
        .gridTop = 630,
    };
    return layout;
}

const CalendarLayout& CalendarLayout::CalendarioAtualizar()
{
    static const CalendarLayout layout{
        .cellName = QStringLiteral("Casa"),
        .names = MonthGrid::Names::Short,
        .left = 60,
        .width = 2565,
        .height = 2100,
        .shownTop = 730,
        .hiddenTop = 3840,
        .cellWidth = 330,
        .cellHeight = 240,
        .columnStep = 345,
        .rowStep = 255,
        .gridLeft = 105,
        .gridTop = 585,
    };
    return layout;
}
