#include "entries/entrywidgets.h"

#include "access/entryfieldrule.h"
#include "access/fieldvalidator.h"
#include "platform/twips.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const char* const windowStyle = R"(
QLineEdit, QPlainTextEdit {
    background: #fffdf7; color: #2a2a2a; border: 1px solid #9c8a62; border-radius: 3px; padding: 0px 3px;
    selection-background-color: #c88a1e; selection-color: #ffffff;
}
QLineEdit:focus, QPlainTextEdit:focus { border: 1px solid #c88a1e; background: #ffffff; }
QLineEdit[readOnly="true"] { background: #ebe4d2; color: #34506f; padding: 0px 1px; }
QScrollBar:vertical { background: #ebe4d2; width: 9px; margin: 0px; border: none; }
QScrollBar::handle:vertical { background: #b7a57d; border-radius: 3px; min-height: 16px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }
QToolTip { background: #f4efe3; color: #2a2a2a; border: 1px solid #0d141c; }
)";

} // namespace

namespace EntryWidgets {

QLabel* label(QWidget* parent, const QString& name, const QString& text, LabelRole role, int left, int top, int width,
              int height)
{
    auto* result = new QLabel(text, parent);
    result->setObjectName(name);
    result->setGeometry(Twips::rect(left, top, width, height));
    // Labels only decorate: a press on one drags a borderless window like a press on its background.
    result->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = parent->font();
    switch (role) {
    case LabelRole::Caption:
        font.setBold(true);
        result->setStyleSheet(QStringLiteral("color: #2a2a2a;"));
        break;
    case LabelRole::Limit:
        font.setPixelSize(8);
        font.setItalic(true);
        result->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        result->setStyleSheet(QStringLiteral("color: #7a6d52;"));
        break;
    case LabelRole::Heading:
        font.setPixelSize(13);
        font.setBold(true);
        result->setStyleSheet(QStringLiteral("color: #f6d27a;"));
        break;
    }
    result->setFont(font);
    return result;
}

QLabel* limitLabel(QWidget* parent, const QString& name, EntryRecord::Field field, int left, int top, int width,
                   int height)
{
    return label(parent, name, EntryFieldRule::of(field).caption(), LabelRole::Limit, left, top, width, height);
}

QLineEdit* lineBox(QWidget* parent, const QString& name, EntryRecord::Field field, int left, int top, int width,
                   int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(Twips::rect(left, top, width, height));
    new FieldValidator(EntryFieldRule::of(field).boxRule(), box);
    return box;
}

QLineEdit* readOnlyBox(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(Twips::rect(left, top, width, height));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

void dress(QWidget* window)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    window->setFont(font);
    window->setStyleSheet(QString::fromLatin1(windowStyle));
}

} // namespace EntryWidgets
