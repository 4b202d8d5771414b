#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

class DetailWindow;
class Platform;
class UpdateWindow;
class Vault;

// The two side windows of an opened entry, filled and moved together by the main window and shown and hidden
// together: the detail window frm2_Esquerda on the left (title, address, login, password) and the update window
// frm3_Direita on the right (description, dates, save and delete). Each is created on first use and destroyed when
// it closes; the next use creates it afresh.
class SideWindows : public QObject
{
    Q_OBJECT

public:
    SideWindows(Vault& vault, Platform& platform, QObject* parent = nullptr);
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

signals:
    // Both windows closed after a save, a delete or a refused title.
    void closed();
    // A short notice for the main window's notice label.
    void noticeRequested(const QString& text);

private:
    Vault& m_vault;
    Platform& m_platform;
    QPointer<DetailWindow> m_detail;
    QPointer<UpdateWindow> m_update;
};
