#pragma once

#include <QApplication>
#include <QClipboard>
#include <QString>
#include <QTest>
#include <QWidget>

// Keyboard input for the access windows' tests, for any character, not only Latin-1.
namespace Typing {

// Presses one key per character (a surrogate pair is one key), carrying that character as the key's text.
inline void type(QWidget* widget, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, pair ? 2 : 1), Qt::NoModifier);
        i += pair ? 1 : 0;
    }
}

// Puts the text on the clipboard and pastes it with Ctrl+V, as a user would.
inline void paste(QWidget* widget, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
}

} // namespace Typing
