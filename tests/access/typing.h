#pragma once

#include <QApplication>
#include <QClipboard>
#include <QTest>

// Keyboard input and look-ups for the access windows' tests.
namespace Typing {

// Presses one key per character, carrying that character as the key's text; "\b" is the Backspace key.
inline void type(QWidget* widget, const QString& text)
{
    for (const QChar character : text) {
        const Qt::Key key = character == u'\b' ? Qt::Key_Backspace : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(character), Qt::NoModifier);
    }
}

// Puts the text on the clipboard and pastes it with Ctrl+V, as a user would.
inline void paste(QWidget* widget, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
}

template <typename T = QWidget>
T* control(QWidget& window, const char* name)
{
    return window.findChild<T*>(QString::fromLatin1(name));
}

} // namespace Typing
