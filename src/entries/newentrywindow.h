#pragma once

#include "calendar/clock.h"

#include <QDialog>

class DescriptionEdit;
class MonthCalendar;
class NoticeLabel;
class Platform;
class QLabel;
class QLineEdit;
class Vault;
struct EntryFields;

// frm1_Escrever: the modal window in which a new entry is typed and stored. A blank title keeps the window open
// with everything typed; a stored entry closes it (accepted) and is announced through noticeRequested. Closing it
// (Escape, its close button) with anything typed asks first.
class NewEntryWindow : public QDialog
{
    Q_OBJECT

public:
    NewEntryWindow(Vault& vault, Platform& platform, QWidget* parent = nullptr);

    // Where the update stamp and the calendar's today come from; the system clock unless a test says otherwise.
    void setClock(Clock clock);

    static QString discardQuestion();

signals:
    // A short notice for the main window's notice label.
    void noticeRequested(const QString& text);

public slots:
    // Closes the window; with anything typed, only once the user agrees to lose it.
    void reject() override;
    // Writes the date of the calendar cell (or no date for a blank cell) into lblData.
    void escreveTexto(const QDate& date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createFields();
    void createDateRow();
    void createButtons();
    EntryFields fields() const;
    void btnOk_Click();
    void lblVencimento_Click();

    Vault& m_vault;
    Platform& m_platform;
    Clock m_clock = systemClock();
    QLineEdit* m_title = nullptr;
    QLineEdit* m_login = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_address = nullptr;
    DescriptionEdit* m_description = nullptr;
    QLabel* m_date = nullptr;
    NoticeLabel* m_notice = nullptr;
    MonthCalendar* m_calendar = nullptr;
};
