#pragma once

#include "calendar/clock.h"

#include <QWidget>

class DescriptionEdit;
class MonthCalendar;
class NoticeLabel;
class Platform;
class QLineEdit;
struct EntryFields;

// frm3_Direita: the entry's description, update date and expiry date, with the calendar for the expiry date;
// asks for the entry to be saved or deleted. Borderless, cut to its outline and dragged by its surface. Its own
// btnFechar closes and destroys it.
class UpdateWindow : public QWidget
{
    Q_OBJECT

public:
    UpdateWindow(Platform& platform, Clock clock, QWidget* parent = nullptr);

    void fill(const EntryFields& entry);
    // The description and expiry date as they stand now.
    EntryFields fields() const;
    void showNotice(const QString& text);
    MonthCalendar* calendar() const { return m_calendar; }

signals:
    void saveRequested();
    void deleteRequested();
    // The window is closing and will be destroyed.
    void windowClosed();

public slots:
    // Writes the date of the calendar cell (or no date for a blank cell) into txtVencimento.
    void escreveTexto(const QDate& date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createFields();
    void createButtons();

    DescriptionEdit* m_description = nullptr;
    QLineEdit* m_updatedOn = nullptr;
    QLineEdit* m_expiry = nullptr;
    NoticeLabel* m_notice = nullptr;
    MonthCalendar* m_calendar = nullptr;
};
