#include "mainwindow/entrylistmodel.h"

#include "expiry/expirystatus.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"
#include "storage/windows1252.h"

namespace {

const QString columnGap = QStringLiteral("    ");

QString text(const QByteArray& bytes)
{
    return Windows1252::toUnicode(bytes);
}

} // namespace

EntryListModel::EntryListModel(const EntryList& entries, QObject* parent)
    : QAbstractListModel(parent), m_entries(entries)
{}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    const qsizetype entry = index.row();
    if (!index.isValid() || !m_entries.contains(entry)) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return expiry(entry) + columnGap + title(entry);
    case TitleRole:
        return title(entry);
    case ExpiryRole:
        return expiry(entry);
    case ExpiryStateRole:
        return int(ExpiryStatus(expiry(entry), m_today).kind());
    case EntryIndexRole:
        return entry;
    case Qt::ToolTipRole:
        return ExpiryStatus(expiry(entry), m_today).description();
    case Qt::AccessibleTextRole:
        return spoken(entry);
    case Qt::AccessibleDescriptionRole:
        return ExpiryStatus(expiry(entry), m_today).description().trimmed();
    default:
        return {};
    }
}

void EntryListModel::setToday(QDate today)
{
    m_today = today;
    if (!m_entries.isEmpty()) {
        emit dataChanged(index(0), index(int(m_entries.size()) - 1));
    }
}

void EntryListModel::entriesChanged()
{
    beginResetModel();
    endResetModel();
}

QString EntryListModel::title(qsizetype entry) const
{
    // A title may hold tabs of its own, shown as spaces so that they do not push the rest of it out of sight.
    const QByteArray title = EntryRecord::field(m_entries.at(entry), EntryRecord::Title).left(shownFieldLength);
    return text(title).replace(QLatin1Char('\t'), QLatin1Char(' '));
}

QString EntryListModel::expiry(qsizetype entry) const
{
    const QByteArray& record = m_entries.at(entry);
    const QByteArray expiry =
        record.contains(EntryRecord::separator) ? EntryRecord::field(record, EntryRecord::Expiry) : record;
    return text(expiry.left(shownFieldLength)).replace(QLatin1Char('\t'), QLatin1Char(' '));
}

QString EntryListModel::spoken(qsizetype entry) const
{
    const QByteArray& record = m_entries.at(entry);
    const QByteArray expiry = EntryRecord::field(record, EntryRecord::Expiry);
    const QString when = expiry.isEmpty() || expiry == EntryRecord::noExpiry
                             ? QStringLiteral("sem vencimento")
                             : QStringLiteral("vence em ") + text(expiry);
    return text(EntryRecord::field(record, EntryRecord::Title)).simplified() + QStringLiteral(", ") + when;
}
