#include "sync/conflictoffer.h"

#include "platform/platform.h"
#include "storage/vault.h"
#include "sync/conflictscan.h"
#include "sync/mergesave.h"
#include "sync/mergewording.h"
#include "wording/storagewording.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int idleRetryMilliseconds = 250;

QStringList identitiesOf(const ConflictScan& scan)
{
    QStringList identities;
    for (const ConflictCopy& copy : scan.copies()) {
        const QFileInfo file(copy.path);
        identities.append(
            QStringLiteral("%1\n%2\n%3").arg(copy.path).arg(file.size()).arg(file.lastModified().toMSecsSinceEpoch()));
    }
    return identities;
}

} // namespace

ConflictOffer::ConflictOffer(Vault& vault, Platform& platform, QObject* parent)
    : QObject(parent), m_vault(vault), m_platform(platform)
{
    connect(&m_vault, &Vault::entriesRereadAfterOutsideChange, this, &ConflictOffer::runWhenIdle, Qt::QueuedConnection);
}

void ConflictOffer::runWhenIdle()
{
    // A message about the save itself may still be open; the question waits for it.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(idleRetryMilliseconds, this, &ConflictOffer::runWhenIdle);
        return;
    }
    run();
}

void ConflictOffer::run()
{
    if (m_vault.isReadOnly() || !ConflictScan::anyCopyBeside(m_vault)) {
        return;
    }
    const ConflictScan scan = ConflictScan::besideVault(m_vault);
    const QStringList found = identitiesOf(scan);
    if (scan.copies().isEmpty() || found == m_told) {
        return;
    }
    m_told = found;
    if (scan.readableCopies().isEmpty()) {
        m_platform.showMessage(nullptr,
                               QStringLiteral("Há cópias em conflito dos arquivos de dados que não podem ser lidas; "
                                              "elas ficam como estão:\n\n") +
                                   MergeWording::unreadable(scan),
                               Platform::programTitle(), Platform::MessageIcon::Exclamation);
        return;
    }
    if (!m_platform.askYesNo(nullptr, MergeWording::question(scan))) {
        return;
    }
    const MergeSave::Outcome outcome = MergeSave::save(m_vault, scan);
    if (!outcome.ok()) {
        m_platform.showMessage(nullptr, MergeWording::failure(outcome), Platform::programTitle(),
                               Platform::MessageIcon::Exclamation);
        return;
    }
    const StorageResult read = m_vault.readAgain();
    m_platform.showMessage(nullptr, read.ok() ? MergeWording::done(scan, outcome) : StorageWording::message(read),
                           Platform::programTitle(),
                           read.ok() ? Platform::MessageIcon::None : Platform::MessageIcon::Critical);
}
