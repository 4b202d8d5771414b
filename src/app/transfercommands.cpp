#include "app/transfercommands.h"

#include "app/commandtexts.h"
#include "app/datafolderlock.h"
#include "app/datalocation.h"
#include "app/kdbxcommands.h"
#include "storage/atomicwriter.h"
#include "storage/vault.h"
#include "sync/conflictscan.h"
#include "sync/mergesave.h"
#include "sync/mergewording.h"
#include "transfer/csvfile.h"
#include "transfer/entrycsv.h"
#include "transfer/importmerge.h"
#include "transfer/importwording.h"
#include "wording/damagewording.h"
#include "wording/faultwording.h"
#include "wording/storagewording.h"

#include <QFile>
#include <QFileInfo>

namespace {

using namespace CommandTexts;

// A job reads a vault only when every line is whole: damaged lines would go out, or be stored again, unreadable.
// Empty when there is none; the bytes of a damaged vault are kept in a copy by then.
QString damageRefusal(const Vault& vault)
{
    const Vault::Damage& damage = vault.damage();
    if (damage.lines == 0) {
        return {};
    }
    return QStringLiteral("O arquivo pswd.tab da pasta %1 tem %2: ele pode ter sido convertido ou corrompido por "
                          "outro programa, e as entradas dessas linhas sairiam ilegíveis. Uma cópia dele, sem nenhuma "
                          "alteração, está em %3. Converta-o de volta ou ponha em seu lugar um pswd.tab inteiro, ou "
                          "abra o KeyHound para ver o que pôde ser lido.")
        .arg(native(vault.dataFolder()), DamageWording::lines(damage.lines), native(damage.copy.path));
}

// Claims the data folder for the job: empty when it may go on, otherwise why not. A job that only reads goes on
// without the lock when none can be made, with the vault read-only.
QString claim(DataFolderLock& lock, const QString& dataFolder, Vault* readOnlyVault)
{
    switch (lock.take()) {
    case DataFolderLock::Outcome::Taken:
        return {};
    case DataFolderLock::Outcome::HeldByAnotherCopy:
        return QStringLiteral("O KeyHound está aberto com os dados da pasta %1. Feche-o e tente de novo.")
            .arg(native(dataFolder));
    case DataFolderLock::Outcome::Unavailable:
        break;
    }
    if (readOnlyVault) {
        readOnlyVault->setReadOnly(lock.failureMessage());
        return {};
    }
    return lock.failureMessage();
}

// Readies the data folder for a job that changes it: the folder made, held by the job, its vault open and whole.
// Empty when the job may go on, otherwise why not.
QString openForChange(DataFolderLock& lock, Vault& vault, const QDateTime& now)
{
    const QString dataFolder = vault.dataFolder();
    if (const QString problem = DataLocation::prepare(dataFolder); !problem.isEmpty()) {
        return problem;
    }
    if (const QString refused = claim(lock, dataFolder, nullptr); !refused.isEmpty()) {
        return refused;
    }
    if (const StorageResult opened = vault.open(now); !opened.ok()) {
        return StorageWording::message(opened);
    }
    return damageRefusal(vault);
}

} // namespace

namespace TransferCommands {

CommandOutput exportTo(const QString& dataFolder, const QString& csvPath, const QDateTime& now)
{
    DataFolderLock lock(dataFolder);
    Vault vault(dataFolder);
    if (const QString refused = claim(lock, dataFolder, &vault); !refused.isEmpty()) {
        return failure(refused + QStringLiteral(" Nada foi exportado."));
    }
    if (!QFileInfo::exists(vault.vaultPath()) || !QFileInfo::exists(vault.settingsPath())) {
        return failure(
            QStringLiteral("Não há dados do KeyHound na pasta %1. Nada foi exportado.").arg(native(dataFolder)));
    }
    if (const StorageResult opened = vault.open(now); !opened.ok()) {
        return failure(StorageWording::message(opened));
    }
    if (const QString damaged = damageRefusal(vault); !damaged.isEmpty()) {
        return failure(damaged + QStringLiteral(" Nada foi exportado."));
    }
    if (KdbxCommands::isDatabasePath(csvPath)) {
        return KdbxCommands::exportEntries(vault.entries(), csvPath, now);
    }
    const FileFault reason =
        AtomicWriter::write(csvPath, EntryCsv::write(vault.entries(), now.date()), AtomicWriter::Commit::CreateNew);
    if (!reason.isNone()) {
        return failure(QStringLiteral("Não foi possível gravar o arquivo %1: %2. Nada foi exportado.")
                           .arg(native(csvPath), withoutFullStop(FaultWording::sentence(reason))));
    }
    return {0,
            counted(vault.entries().size(), "entrada exportada", "entradas exportadas") +
                QStringLiteral(" para %1.\n").arg(native(csvPath)),
            QStringLiteral("Atenção: o arquivo %1 guarda todas as senhas sem cifra; quem o abrir pode lê-las. Guarde-o "
                           "em lugar seguro e apague-o quando não precisar mais dele.\n")
                .arg(native(csvPath))};
}

CommandOutput importFrom(const QString& dataFolder, const QString& csvPath, const QDateTime& now)
{
    const QString nothingAdded = QStringLiteral(" Nenhuma entrada foi adicionada.");
    // Opened first, so that a file that cannot be read never holds the data folder.
    QFile file;
    if (const QString reason = CsvFile::open(file, csvPath); !reason.isEmpty()) {
        return failure(
            QStringLiteral("Não foi possível ler o arquivo %1: %2.").arg(native(csvPath), withoutFullStop(reason)) +
            nothingAdded);
    }
    DataFolderLock lock(dataFolder);
    Vault vault(dataFolder);
    if (const QString refused = openForChange(lock, vault, now); !refused.isEmpty()) {
        return failure(refused + nothingAdded);
    }
    if (KdbxCommands::isDatabasePath(csvPath)) {
        return KdbxCommands::importEntries(file.readAll(), vault, csvPath, now);
    }
    const EntryCsv::Import imported = EntryCsv::read(file, vault.entries(), now);
    if (!imported.error.isEmpty()) {
        return failure(
            QStringLiteral("Não foi possível importar o arquivo %1: %2.").arg(native(csvPath), imported.error) +
            nothingAdded);
    }
    const ImportMerge merged(vault, imported.records, imported.undated);
    if (const MergeSave::Outcome saved = merged.save(); !saved.ok()) {
        return failure(ImportWording::failure(saved));
    }
    QStringList listed = imported.reasons;
    for (const qsizetype at : merged.older()) {
        if (listed.size() < EntryCsv::listedReasons) {
            listed.append(imported.names.at(at) + QStringLiteral(": ") + ImportWording::olderReason());
        }
    }
    QString reasons;
    for (const QString& reason : listed) {
        reasons += reason + QLatin1Char('\n');
    }
    const EntryMerge& merge = merged.merge();
    const qsizetype noted = imported.refusedRows + imported.repeatedRows + imported.incompleteRows + merge.older();
    if (const qsizetype unlisted = noted - listed.size(); unlisted > 0) {
        reasons += QStringLiteral("... e mais ") + counted(unlisted, "linha", "linhas") + QStringLiteral(".\n");
    }
    return {imported.refusedRows + imported.incompleteRows == 0 ? 0 : 1,
            counted(merge.added(), "entrada adicionada", "entradas adicionadas") + ImportWording::updated(merge) +
                QStringLiteral(", ") + counted(imported.repeatedRows + merge.same(), "já guardada", "já guardadas") +
                QStringLiteral(", ") + counted(imported.refusedRows, "linha recusada", "linhas recusadas") +
                ImportWording::older(merge) + QStringLiteral(".\n"),
            reasons};
}

CommandOutput mergeFrom(const QString& dataFolder, const QString& vaultPath, const QDateTime& now)
{
    const QString nothingMerged = QStringLiteral(" Nada foi juntado.");
    DataFolderLock lock(dataFolder);
    Vault vault(dataFolder);
    if (const QString refused = openForChange(lock, vault, now); !refused.isEmpty()) {
        return failure(refused + nothingMerged);
    }
    if (QFileInfo(vaultPath).canonicalFilePath() == QFileInfo(vault.vaultPath()).canonicalFilePath()) {
        return failure(QStringLiteral("O arquivo %1 é o próprio cofre.").arg(native(vaultPath)) + nothingMerged);
    }
    const ConflictScan scan = ConflictScan::ofVaultFile(vault, vaultPath);
    if (!scan.holdsReadableVault()) {
        return failure(MergeWording::unreadable(scan).trimmed() + nothingMerged);
    }
    const MergeSave::Outcome outcome = MergeSave::save(vault, scan);
    if (!outcome.ok()) {
        return failure(MergeWording::failure(outcome));
    }
    return {0,
            MergeWording::counts(scan.merge()) + QStringLiteral(".") + MergeWording::settingsNote(scan) +
                QLatin1Char('\n'),
            {}};
}

} // namespace TransferCommands
