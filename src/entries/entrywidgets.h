#pragma once

#include "storage/entryrecord.h"

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// The labels and boxes the three entry windows share, placed in twips and dressed in the windows' look.
namespace EntryWidgets {

enum class LabelRole
{
    // The name of a field: "Título", "Login".
    Caption,
    // The small note of a field's limit: "(Máx 45 chars)".
    Limit,
    // A window's heading, light on the dark band.
    Heading,
};

QLabel* label(QWidget* parent, const QString& name, const QString& text, LabelRole role, int left, int top, int width,
              int height);
// The note of the field's limit, right-aligned in the place.
QLabel* limitLabel(QWidget* parent, const QString& name, EntryRecord::Field field, int left, int top, int width,
                   int height);
// A box held to the field's rule; a refused edit is told through the box's FieldValidator.
QLineEdit* lineBox(QWidget* parent, const QString& name, EntryRecord::Field field, int left, int top, int width,
                   int height);
// A box the program alone writes.
QLineEdit* readOnlyBox(QWidget* parent, const QString& name, int left, int top, int width, int height);

// Font and style sheet of an entry window.
void dress(QWidget* window);

} // namespace EntryWidgets
