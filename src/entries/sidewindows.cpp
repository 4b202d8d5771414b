#include "entries/sidewindows.h"

#include "entries/detailwindow.h"
#include "entries/entryfields.h"
#include "entries/entrymessages.h"
#include "entries/updatewindow.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "storage/vault.h"
#include "wording/storagewording.h"

#include <QKeyEvent>

namespace {

constexpr int gapTwips = 30;
constexpr int dropTwips = 850;

} // namespace

SideWindows::SideWindows(Vault& vault, Platform& platform, QWidget* owner)
    : QObject(owner), m_vault(vault), m_platform(platform), m_owner(owner)
{}

SideWindows::~SideWindows()
{
    delete m_detail;
    delete m_update;
}

QString SideWindows::staleEntryMessage()
{
    return QStringLiteral("A entrada mostrada não corresponde mais à da lista e nada foi gravado.\n"
                          "Selecione-a de novo na lista para editá-la.");
}

void SideWindows::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void SideWindows::ensureWindows()
{
    const bool recreated = !m_detail || !m_update;
    if (!m_detail) {
        m_detail = new DetailWindow(m_platform, m_vault.dataFolder(), m_owner);
        m_detail->installEventFilter(this);
        // Forgotten at once, so that nothing fills a window on its way out.
        connect(m_detail, &DetailWindow::windowClosed, this, [this] { m_detail = nullptr; });
    }
    if (!m_update) {
        m_update = new UpdateWindow(
            m_platform, [this] { return m_clock(); }, m_owner);
        m_update->installEventFilter(this);
        connect(m_update, &UpdateWindow::windowClosed, this, [this] { m_update = nullptr; });
        connect(m_update, &UpdateWindow::saveRequested, this, [this] { store(Change::Save); });
        connect(m_update, &UpdateWindow::deleteRequested, this, [this] { store(Change::Delete); });
    }
    if (recreated) {
        // A window made afresh is empty: saving its empty fields over the entry would lose them.
        m_index = -1;
        m_record.clear();
    }
    place();
}

void SideWindows::showEntry(qsizetype index)
{
    ensureWindows();
    const bool known = m_vault.entries().contains(index);
    m_index = known ? index : -1;
    m_record = known ? m_vault.entries().at(index) : QByteArray();
    const EntryFields entry = EntryFields::fromRecord(m_record);
    m_detail->fill(entry);
    m_update->fill(entry);
}

void SideWindows::placeBeside(const QRect& mainFrame)
{
    m_mainFrame = mainFrame;
    place();
}

void SideWindows::place()
{
    if (m_mainFrame.isNull()) {
        return;
    }
    const int mainLeft = Twips::fromPixels(m_mainFrame.x());
    const int top = Twips::toPixels(Twips::fromPixels(m_mainFrame.y()) + dropTwips);
    if (m_detail) {
        m_detail->move(Twips::toPixels(mainLeft - Twips::fromPixels(m_detail->width()) - gapTwips), top);
    }
    if (m_update) {
        m_update->move(Twips::toPixels(mainLeft + Twips::fromPixels(m_mainFrame.width()) + gapTwips), top);
    }
}

void SideWindows::setShown(bool shown)
{
    m_shown = shown;
    if (shown) {
        ensureWindows();
        m_detail->show();
        m_update->show();
        return;
    }
    if (m_detail) {
        m_detail->hide();
    }
    if (m_update) {
        m_update->hide();
    }
}

bool SideWindows::isShown() const
{
    return m_shown;
}

void SideWindows::close()
{
    m_shown = false;
    if (m_detail) {
        m_detail->close();
    }
    if (m_update) {
        m_update->close();
    }
}

bool SideWindows::eventFilter(QObject*, QEvent* event)
{
    // Keys the window's controls leave alone come up to the window itself.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            emit hideRequested();
            return true;
        }
    }
    return false;
}

EntryFields SideWindows::editedEntry() const
{
    EntryFields entry = m_detail->fields();
    const EntryFields dates = m_update->fields();
    entry.description = dates.description;
    entry.expiry = dates.expiry;
    return entry;
}

void SideWindows::reportRefusal(const StorageResult& result)
{
    const bool stale = result.status == StorageResult::StaleEntry;
    m_platform.showMessage(
        m_update, stale ? staleEntryMessage() : StorageWording::message(result), Platform::programTitle(),
        result.status == StorageResult::Failed ? Platform::MessageIcon::Critical : Platform::MessageIcon::Exclamation);
}

void SideWindows::store(Change change)
{
    // A detail window closed on its own comes back empty, and its blank title stops the change.
    ensureWindows();
    if (m_shown) {
        m_detail->show();
    }
    const EntryFields entry = editedEntry();
    if (!entry.hasTitle()) {
        m_platform.beep();
        m_update->showNotice(EntryMessages::blankTitle());
        emit noticeRequested(EntryMessages::blankTitle());
        return;
    }
    const StorageResult result = change == Change::Save
                                     ? m_vault.replaceEntry(m_index, m_record, entry.toRecord(m_clock()))
                                     : m_vault.deleteEntry(m_index, m_record);
    if (!result.ok()) {
        reportRefusal(result);
        return;
    }
    if (!result.notes.isEmpty()) {
        m_platform.showMessage(m_update, StorageWording::message(result), Platform::programTitle(),
                               Platform::MessageIcon::Exclamation);
    }
    m_platform.beep();
    emit noticeRequested(change == Change::Save ? EntryMessages::entryUpdated() : EntryMessages::entryDeleted());
    const QByteArray deleted = change == Change::Delete ? m_record : QByteArray();
    close();
    emit closed();
    if (!deleted.isEmpty()) {
        emit entryDeleted(deleted);
    }
}
