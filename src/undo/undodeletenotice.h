#pragma once

#include <QByteArray>
#include <QFrame>

class Platform;
class QPushButton;
class QShortcut;
class QTimer;
class Vault;

// The way back from a delete: for ten seconds after an entry is deleted, a notice in the window offers "Desfazer",
// and Ctrl+Z anywhere in the window does the same. Undoing stores the deleted record, exactly as it was, with one
// rewrite of the vault (as adding an entry does); a failed write is told and the offer stands until it runs out.
class UndoDeleteNotice : public QFrame
{
    Q_OBJECT

public:
    static constexpr int offeredMilliseconds = 10000;

    UndoDeleteNotice(Vault& vault, Platform& platform, QWidget* parent);

    // Offers the record, just deleted, for undoing; an earlier offer is forgotten.
    void offer(const QByteArray& record);
    bool isOffered() const;

public slots:
    void undo();

signals:
    // A short notice for the window's notice label.
    void noticeRequested(const QString& text);

private:
    void withdraw();

    Vault& m_vault;
    Platform& m_platform;
    QByteArray m_record;
    QTimer* m_timer;
    QShortcut* m_shortcut;
    QPushButton* m_button;
};
