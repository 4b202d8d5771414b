#pragma once

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

// What a line box holds, which decides what it takes (see FieldRule).
enum class BoxFilter
{
    // Anything a record can store.
    Title,
    Address,
    // The characters of the entry windows' set.
    Login,
    Password,
    // Shown only; changed by the program.
    ReadOnly,
};

QLabel* label(QWidget* parent, const QString& name, const QString& text, LabelRole role, int left, int top, int width,
              int height);
// A refused edit in a box that is not read-only is told through the box's FieldValidator.
QLineEdit* lineBox(QWidget* parent, const QString& name, int maxLength, BoxFilter filter, int left, int top, int width,
                   int height);

// Font and style sheet of an entry window.
void dress(QWidget* window);

} // namespace EntryWidgets
