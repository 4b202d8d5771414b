#pragma once

#include <QPlainTextEdit>

// The multi-line description box. It holds at most the description's limit of characters (a line break counts as one)
// and refuses, whether typed, pasted, dropped or composed, any text holding a character a record field cannot store.
class DescriptionEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    DescriptionEdit(const QString& objectName, QWidget* parent);

    // What of the incoming text may go into a box with room for that many more characters: nothing when it holds a
    // refused character, otherwise as much of it as fits. Line breaks of any kind come out as '\n'.
    static QString admissible(const QString& incoming, int room);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int room() const;
};
