#pragma once

#include <QAbstractListModel>
#include <QDate>

class EntryList;

// The sorted entries of the vault as rows of a list, one per entry, in the list's order: a row's number is the
// entry's index. Views ask it for the row's parts and never take a row's text apart. The expiry dates are judged on
// the day given. Each shown field is cut to its first shownFieldLength characters, far more than the list can show,
// so that the damaged line of a huge file cannot stall the window that lays it out.
class EntryListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        // The title as drawn: tabs shown as spaces.
        TitleRole = Qt::UserRole + 1,
        // The expiry date as stored, or the whole record when it is too short to carry one.
        ExpiryRole,
        // The ExpiryStatus::Kind of the entry, as an int.
        ExpiryStateRole,
        // The entry's index in the full list.
        EntryIndexRole,
    };

    static constexpr qsizetype shownFieldLength = 4096;

    explicit EntryListModel(const EntryList& entries, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    // The display text is the expiry, four spaces and the title; screen readers read the title and the expiry date
    // in words; the tool tip tells how the expiry date stands.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void setToday(QDate today);
    // The list was changed in place: every row is read again.
    void entriesChanged();

private:
    QString title(qsizetype entry) const;
    QString expiry(qsizetype entry) const;
    QString spoken(qsizetype entry) const;

    const EntryList& m_entries;
    QDate m_today;
};
