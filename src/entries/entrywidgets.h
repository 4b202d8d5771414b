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

enum class BoxFilter
{
    // Title and address: anything a record can store.
    RecordText,
    // Login and password: the characters of the entry windows' set.
    EntryCharacters,
    // Shown only; changed by the program.
    ReadOnly,
};

QLabel* label(QWidget* parent, const QString& name, const QString& text, LabelRole role, int left, int top, int width,
              int height);
QLineEdit* lineBox(QWidget* parent, const QString& name, int maxLength, BoxFilter filter, int left, int top, int width,
                   int height);

// Font and style sheet of an entry window.
void dress(QWidget* window);

} // namespace EntryWidgets
