#pragma once

#include <QLineEdit>

class QKeyEvent;

// txtBusca: the small line over the bottom of the main list that holds what the user typed to find an entry. It is
// hidden until the first typed character opens it, and closes on Escape or when it is emptied. The keys that move
// through a list (Up, Down, Page Up, Page Down) go on to the list it searches, so the user can type and pick a row
// without leaving it.
class SearchLine : public QLineEdit
{
    Q_OBJECT

public:
    SearchLine(QWidget* list, QWidget* parent);

    bool isOpen() const { return !isHidden(); }

    // Handles a key the list received: a printable character opens the line or adds to it; while it is open,
    // Backspace and Delete edit it and Escape closes it. Returns whether the key was taken.
    bool takeKeyFromList(QKeyEvent* event);
    // Whether takeKeyFromList would take the key, asked before the window's shortcuts see it.
    bool claimsKey(const QKeyEvent& event) const;
    // Empties and hides the line.
    void close();

signals:
    // The text to look for changed; it is never empty.
    void searchChanged(const QString& text);
    // The line was closed.
    void closed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open();

    QWidget* m_list;
};
