#pragma once

#include "calendar/clock.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QRect>

class DetailWindow;
class Platform;
struct EntryFields;
struct StorageResult;
class UpdateWindow;
class QWidget;
class Vault;

// The two side windows of an opened entry, filled and moved together by the main window and shown and hidden
// together: the detail window frm2_Esquerda on the left (title, address, login, password) and the update window
// frm3_Direita on the right (description, dates, save and delete). Each is created on first use and destroyed when
// it closes; the next use creates it afresh. Both are tool windows of the main window that owns them: they stay above
// it and take no place of their own in the taskbar. Escape in either puts both away, as the main window's Escape does.
//
// Save and delete take the four fields of the detail window and the description and expiry date of the update
// window. They change the vault only while the entry at the index is still the one that was shown and both windows
// still hold it; a blank title, an entry that changed in the meantime, a window reopened empty or a failed write
// change nothing and leave both windows open.
class SideWindows : public QObject
{
    Q_OBJECT

public:
    // owner is the main window; without one the windows stand alone.
    SideWindows(Vault& vault, Platform& platform, QWidget* owner = nullptr);
    ~SideWindows() override;

    // Fills both windows with the entry at the index of the full list, creating them hidden when needed.
    void showEntry(qsizetype index);
    // Places them beside the main window's frame: 30 twips to its left and right, 850 twips lower.
    void placeBeside(const QRect& mainFrame);
    // Shows (modeless) or hides both.
    void setShown(bool shown);
    bool isShown() const;
    // Hides and destroys both.
    void close();

    DetailWindow* detailWindow() const { return m_detail; }
    UpdateWindow* updateWindow() const { return m_update; }

    // Where the update stamp and the calendar's today come from; the system clock unless a test says otherwise.
    void setClock(Clock clock);

    static QString staleEntryMessage();

signals:
    // Both windows closed after a save or a delete.
    void closed();
    // A short notice for the main window's notice label.
    void noticeRequested(const QString& text);
    // The entry was deleted; the record is what it held, for undoing.
    void entryDeleted(const QByteArray& record);
    // Escape was pressed in one of the windows: the main window hides both.
    void hideRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Change
    {
        Save,
        Delete,
    };

    void ensureWindows();
    void place();
    EntryFields editedEntry() const;
    void reportRefusal(const StorageResult& result);
    void store(Change change);

    Vault& m_vault;
    Platform& m_platform;
    QWidget* m_owner;
    Clock m_clock = systemClock();
    QPointer<DetailWindow> m_detail;
    QPointer<UpdateWindow> m_update;
    bool m_shown = false;
    QRect m_mainFrame;
    // The entry the windows were filled with, and its index in the full list.
    qsizetype m_index = -1;
    QByteArray m_record;
};
