#pragma once

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QWidget>

// What a user does with keyboard and mouse, and what a window shows, for the windows' tests.

// Types the text key by key, as a keyboard would deliver it: a line feed as Enter, "\b" as Backspace. Unlike
// QTest::keyClicks it also types characters beyond Latin-1.
inline void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        const bool enter = c == QLatin1Char('\n');
        const bool backspace = c == QLatin1Char('\b');
        const auto key = enter ? Qt::Key_Return
                         : backspace ? Qt::Key_Backspace
                         : c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode())
                                              : Qt::Key_unknown;
        const QString typed = enter ? QStringLiteral("\r") : QString(c);
        QTest::sendKeyEvent(QTest::Press, widget, key, typed, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, typed, Qt::NoModifier);
    }
}

// Puts the text on the clipboard and pastes it with Ctrl+V.
inline void paste(QWidget* widget, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
}

// Selects all the box holds and types the text over it.
inline void retype(QWidget* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    typeText(box, text);
}

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

// The control of that object name in the window.
template <typename T = QWidget>
T* child(const QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

// The text of a box, the description box or a label.
inline QString textOf(const QWidget* box)
{
    return box->property(box->inherits("QPlainTextEdit") ? "plainText" : "text").toString();
}
