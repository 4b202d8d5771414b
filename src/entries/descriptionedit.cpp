#include "entries/descriptionedit.h"

#include "access/entryfieldrule.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

DescriptionEdit::DescriptionEdit(const QString& objectName, QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(objectName);
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QString DescriptionEdit::admissible(const QString& incoming, int room)
{
    QString text = incoming;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
    if (!EntryFieldRule::of(EntryRecord::Description).storesAll(text)) {
        return {};
    }
    return text.left(std::max(room, 0));
}

int DescriptionEdit::room() const
{
    const QTextCursor cursor = textCursor();
    const int length = document()->characterCount() - 1;
    return EntryFieldRule::of(EntryRecord::Description).limit -
           (length - (cursor.selectionEnd() - cursor.selectionStart()));
}

void DescriptionEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    // Whatever the modifiers: AltGr arrives as Ctrl+Alt on some systems and still types a character.
    const bool insertsText = !typed.isEmpty() && (typed.front().isPrint() || typed == QLatin1String("\r"));
    if (insertsText && admissible(typed, room()).size() != typed.size()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DescriptionEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty()) {
        event->setCommitString(admissible(commit, room()), event->replacementStart(), event->replacementLength());
    }
    QPlainTextEdit::inputMethodEvent(event);
}

bool DescriptionEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void DescriptionEdit::insertFromMimeData(const QMimeData* source)
{
    const QString text = admissible(source->text(), room());
    if (!text.isEmpty()) {
        insertPlainText(text);
    }
}
