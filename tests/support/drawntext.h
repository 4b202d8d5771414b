#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QWidget;

// A text the widget draws when it paints, in the pen's colour: what the user reads on it.
struct DrawnText
{
    QString text;
    QColor colour;
};

// The texts the widget draws, in the order it draws them. A text that the painter lays out in several pieces gives
// several items.
QList<DrawnText> drawnText(QWidget* widget);
// Only the texts.
QStringList drawnStrings(QWidget* widget);
