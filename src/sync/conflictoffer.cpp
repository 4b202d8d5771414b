#include "sync/conflictoffer.h"

#include "platform/platform.h"
#include "storage/vault.h"
#include "sync/conflictscan.h"
#include "sync/mergesave.h"
#include "sync/mergewording.h"
#include "wording/storagewording.h"

namespace ConflictOffer {

void run(Vault& vault, Platform& platform)
{
    const ConflictScan scan = ConflictScan::besideVault(vault);
    if (scan.copies().isEmpty()) {
        return;
    }
    if (scan.readableCopies().isEmpty()) {
        platform.showMessage(nullptr,
                             QStringLiteral("Há cópias em conflito dos arquivos de dados que não podem ser lidas; "
                                            "elas ficam como estão:\n\n") +
                                 MergeWording::unreadable(scan),
                             Platform::programTitle(), Platform::MessageIcon::Exclamation);
        return;
    }
    if (!platform.askYesNo(nullptr, MergeWording::question(scan))) {
        return;
    }
    const MergeSave::Outcome outcome = MergeSave::save(vault, scan);
    if (!outcome.ok()) {
        platform.showMessage(nullptr, MergeWording::failure(outcome), Platform::programTitle(),
                             Platform::MessageIcon::Exclamation);
        return;
    }
    const StorageResult read = vault.readAgain();
    platform.showMessage(nullptr, read.ok() ? MergeWording::done(scan, outcome) : StorageWording::message(read),
                         Platform::programTitle(),
                         read.ok() ? Platform::MessageIcon::None : Platform::MessageIcon::Critical);
}

} // namespace ConflictOffer
