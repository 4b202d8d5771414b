#include "storage/entrystore.h"

#include "storage/datafilecheck.h"
#include "storage/datafolderaccess.h"
#include "storage/linecodec.h"
#include "storage/settingsstore.h"
#include "storage/vaultfile.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <new>
#include <optional>

#include <unistd.h>

namespace {

constexpr qint64 readPieceSize = 1 << 20;

// How often a change is made again over a file that another program keeps replacing while it is written.
constexpr int writeAttempts = 5;

// Reads a piece of the file at a time, at any offset, from any thread; the system's error number of a failed read is
// kept in `error`.
LineCodec::ReadAt readingAt(int descriptor, std::atomic<int>& error)
{
    return [descriptor, &error](qint64 offset, QByteArray& buffer) -> std::optional<QByteArrayView> {
        buffer.resize(readPieceSize);
        ssize_t length;
        do {
            length = ::pread(descriptor, buffer.data(), size_t(buffer.size()), offset);
        } while (length < 0 && errno == EINTR);
        if (length < 0) {
            error = errno;
            return std::nullopt;
        }
        return QByteArrayView(buffer.constData(), length);
    };
}

bool sameRecords(const EntryList& a, const EntryList& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a.at(i) != b.at(i)) {
            return false;
        }
    }
    return true;
}

qsizetype indexOf(const EntryList& list, const QByteArray& record)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i) == record) {
            return i;
        }
    }
    return -1;
}

// The one change that an edit or a single add makes to the list, planned before the file is written and made once it
// holds it; records added together find their places only once the file holds them all.
std::optional<EntryList::Change> plannedChange(const EntryList& entries, const EntryChange& change)
{
    switch (change.kind) {
    case EntryChange::Kind::Replace:
        return entries.replacing(change.index, change.records.value(0));
    case EntryChange::Kind::Delete:
        return entries.removing(change.index);
    case EntryChange::Kind::Add:
        break;
    }
    if (change.records.size() == 1) {
        return entries.adding(change.records.first());
    }
    return std::nullopt;
}

} // namespace

EntryStore::EntryStore(const DataFolderAccess& folder, const SettingsStore& settings, Listeners listeners)
    : m_folder(folder), m_settings(settings), m_listeners(std::move(listeners))
{}

QString EntryStore::fileName()
{
    return QString::fromLatin1(VaultFile::fileName);
}

QString EntryStore::path() const
{
    return m_folder.filePath(fileName());
}

StorageResult EntryStore::read(QFile& file, qsizetype& damagedLines)
{
    return readInto(file, m_entries, m_stamp, damagedLines);
}

StorageResult EntryStore::readInto(QFile& file, EntryList& into, FileStamp& stamp, qsizetype& damagedLines) const
{
    // Read and decoded a piece at a time, so that a large vault is never held whole as well as decoded; a large one
    // in two halves at once.
    if (StorageResult opened = m_folder.openForReading(file, fileName()); !opened.ok()) {
        return opened;
    }
    stamp = FileStamp::ofDescriptor(file.handle());
    try {
        std::atomic<int> readError = 0;
        std::optional<LineCodec::DecodedFile> decoded = LineCodec::decodeReading(
            file.size(), readingAt(file.handle(), readError), m_settings.settings().installationKey);
        if (!decoded) {
            return StorageResult::failed(StorageReason::CannotRead, fileName(), FileFault::system(readError));
        }
        into = EntryList(std::move(decoded->records));
        damagedLines = decoded->damagedLines;
    } catch (const std::bad_alloc&) {
        return StorageResult::failed(StorageReason::OutOfMemory, fileName());
    }
    return {};
}

StorageResult EntryStore::keepDamaged(QFile& file, qsizetype damagedLines)
{
    if (m_folder.isReadOnly()) {
        return {};
    }
    const DamagedCopy::Result copy = DamagedCopy::keep(file, path() + QLatin1String(DamagedCopy::suffix));
    if (copy.outcome == DamagedCopy::Outcome::Failed) {
        return StorageResult::failed(damageNote(StorageReason::DamagedCopyFailed, {damagedLines, copy}));
    }
    m_damage = {damagedLines, copy};
    return {};
}

StorageNote EntryStore::damageNote(StorageReason reason, const Damage& damage)
{
    StorageNote note{reason, damage.copy.path, {}, {}};
    note.fault = damage.copy.reason;
    note.damagedLines = damage.lines;
    note.earlierCopy = damage.copy.outcome == DamagedCopy::Outcome::KeptEarlier;
    return note;
}

StorageResult EntryStore::change(const EntryChange& change)
{
    if (StorageResult refused = m_folder.refusalWhileReadOnly(); !refused.ok()) {
        return refused;
    }
    if (!m_settings.holdsKey()) {
        return StorageResult::failed(StorageReason::SettingsNotRead, fileName());
    }
    if (change.changesShownRecord() &&
        (!m_entries.contains(change.index) || m_entries.at(change.index) != change.shown)) {
        return {StorageResult::StaleEntry, {}};
    }
    // Another program that replaces the file while it is written is noticed at the replacement itself: the file is
    // then read again and the change made once more, over what it holds.
    Outside found = Outside::Unchanged;
    Damage damage;
    StorageResult result;
    for (int attempt = 1;; ++attempt) {
        Outside foundNow = Outside::Unchanged;
        if (const StorageResult reread = rereadChangedOutside(foundNow); !reread.ok()) {
            return reread;
        }
        if (foundNow != Outside::Unchanged) {
            found = foundNow;
        }
        if (m_damage.lines > 0) {
            damage = m_damage;
        }
        result = found == Outside::Changed ? changeOverOutsideChange(change) : write(change, found);
        if (m_stamp.isKnown() || attempt == writeAttempts) {
            break;
        }
    }
    if (const std::optional<StorageNote> notice = noticeOf(found, damage, result.ok())) {
        if (result.ok()) {
            result.notes.clear();
        }
        result.then(*notice);
    }
    if (result.ok() || found == Outside::Changed) {
        m_listeners.listChanged();
    }
    return result;
}

std::optional<StorageNote> EntryStore::noticeOf(Outside found, const Damage& damage, bool saved)
{
    if (found == Outside::Damaged) {
        return damageNote(saved ? StorageReason::DamagedOutsideSaved : StorageReason::DamagedOutsideUnsaved, damage);
    }
    if (found != Outside::Removed) {
        return std::nullopt;
    }
    return StorageNote{
        saved ? StorageReason::EntriesRemovedRewritten : StorageReason::EntriesRemovedUnsaved, fileName(), {}, {}};
}

StorageResult EntryStore::rereadChangedOutside(Outside& found)
{
    found = Outside::Unchanged;
    if (FileStamp::ofPath(path()) == m_stamp) {
        return {};
    }
    if (DataFolderAccess::isMissing(path())) {
        found = Outside::Removed;
        return {};
    }
    // Only a file whose records differ was really changed; one merely touched or copied back is written as usual.
    QFile file;
    EntryList onDisk;
    FileStamp stamp;
    qsizetype damaged = 0;
    StorageResult read = readInto(file, onDisk, stamp, damaged);
    m_damage = {};
    if (read.ok() && damaged > 0) {
        read = keepDamaged(file, damaged);
    }
    if (!read.ok()) {
        StorageResult refused = StorageResult::failed(StorageReason::ChangedOutsideNothingWritten, fileName());
        refused.notes += read.notes;
        return refused;
    }
    m_stamp = stamp;
    // Damaged records would be stored as they read, unreadable for good: the list keeps what it showed.
    if (damaged > 0) {
        found = Outside::Damaged;
    } else if (!sameRecords(onDisk, m_entries)) {
        found = Outside::Changed;
        m_entries = std::move(onDisk);
        m_listeners.rereadAfterOutsideChange();
    }
    return {};
}

StorageResult EntryStore::changeOverOutsideChange(const EntryChange& change)
{
    const qsizetype shownNow = change.changesShownRecord() ? indexOf(m_entries, change.shown) : -1;
    if (change.changesShownRecord() && shownNow < 0) {
        return {StorageResult::ChangedOutside, {{StorageReason::ChangedOutsideShownEntryGone, fileName(), {}, {}}}};
    }
    StorageResult result = write(change.changesShownRecord() ? change.at(shownNow) : change);
    if (!result.ok()) {
        return result.then(StorageReason::ChangedOutsideListReread, fileName());
    }
    return {StorageResult::SavedOverOutsideChange, {{StorageReason::SavedOverOutsideChange, fileName(), {}, {}}}};
}

bool EntryStore::writeChanged(AtomicWriter& writer, const EntryChange& change) const
{
    const VaultFile::Sink sink = [&writer](QByteArrayView piece) { return writer.append(piece); };
    const QByteArray& key = m_settings.settings().installationKey;
    switch (change.kind) {
    case EntryChange::Kind::Replace:
        return VaultFile::writeWithReplacedRecord(sink, m_entries, change.index, change.records.value(0), key);
    case EntryChange::Kind::Delete:
        return VaultFile::writeWithDeletedRecord(sink, m_entries, change.index, key);
    case EntryChange::Kind::Add:
        break;
    }
    return VaultFile::writeWithAddedRecords(sink, m_entries, change.records, key);
}

StorageResult EntryStore::write(const EntryChange& change, Outside found)
{
    const DataFileCheck::Target target = DataFileCheck::dataFile(m_folder.path(), fileName());
    if (target.refused()) {
        return StorageResult::refused(target.refusal).then(StorageReason::NothingWritten);
    }
    const std::optional<EntryList::Change> planned = plannedChange(m_entries, change);
    AtomicWriter writer(target.path);
    const bool written = writer.open() && writeChanged(writer, change);
    // A removed file is made anew, and nothing that appeared meanwhile is written over. A damaged file, kept in its
    // copy, does not become the backup, which keeps the last file that could be read whole.
    const AtomicWriter::Commit how = found == Outside::Removed ? AtomicWriter::Commit::CreateNew
                                     : m_damage.lines > 0      ? AtomicWriter::Commit::Replace
                                                               : AtomicWriter::Commit::ReplaceKeepingBackup;
    if (!written || !writer.commit(how, m_stamp)) {
        if (writer.foundOutsideChange()) {
            m_stamp = {}; // to be read again
            return StorageResult::failed(StorageReason::ChangedOutsideWhileWriting, fileName());
        }
        StorageResult failed = StorageResult::failed(StorageReason::CannotWrite, fileName(), writer.failure());
        return found == Outside::Removed ? failed : failed.then(StorageReason::PreviousFileKept);
    }
    m_stamp = writer.stamp();
    m_damage = {};
    // The file now holds exactly the changed list's records, and reading it would give them back in this order:
    // the list is changed in place rather than read and sorted again.
    if (planned) {
        m_entries.apply(*planned);
        return {};
    }
    for (const QByteArray& record : change.records) {
        m_entries.apply(m_entries.adding(record));
    }
    return {};
}
