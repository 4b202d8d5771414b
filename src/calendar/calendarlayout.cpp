#include "calendar/calendarlayout.h"

const CalendarLayout& CalendarLayout::CalendarioEscrever()
{
    static const CalendarLayout layout{
        .cellName = QStringLiteral("Casa2"),
        .names = MonthGrid::Names::Full,
        .left = 90,
        .width = 3240,
        .height = 2220,
        .shownTop = 1360,
        .hiddenTop = 4500,
        .cellWidth = 405,
        .cellHeight = 240,
        .columnStep = 420,
        .rowStep = 255,
        .gridLeft = 157,
        .gridTop = 660,
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
        .height = 2130,
        .shownTop = 730,
        .hiddenTop = 3840,
        .cellWidth = 330,
        .cellHeight = 240,
        .columnStep = 345,
        .rowStep = 255,
        .gridLeft = 82,
        .gridTop = 615,
    };
    return layout;
}
