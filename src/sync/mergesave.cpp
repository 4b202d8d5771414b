#include "sync/mergesave.h"

#include "storage/atomicwriter.h"
#include "storage/backupfile.h"
#include "storage/datafilecheck.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"
#include "sync/conflictscan.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

#include <functional>
#include <memory>

namespace {

using Outcome = MergeSave::Outcome;
using Failure = MergeSave::Outcome::Failure;

Outcome failed(Failure failure, const QString& path, const FileFault& reason = {})
{
    return {failure, path, reason, {}};
}

bool unchanged(const QString& path, const FileStamp& stamp)
{
    return FileStamp::ofPath(path) == stamp;
}

// The writer of a data file, holding its whole new contents beside it; null with the outcome set on failure.
std::unique_ptr<AtomicWriter> prepared(const Vault& vault, const char* name,
                                       const std::function<bool(AtomicWriter&)>& fill, Outcome& outcome)
{
    const DataFileCheck::Target target = DataFileCheck::dataFile(vault.dataFolder(), QString::fromLatin1(name));
    if (target.refused()) {
        outcome = failed(Failure::Refused, target.path, target.refusal);
        return nullptr;
    }
    auto writer = std::make_unique<AtomicWriter>(target.path);
    if (!writer->open() || !fill(*writer)) {
        outcome = failed(Failure::Write, target.path, writer->failure());
        return nullptr;
    }
    return writer;
}

// The first free name of the copy with the suffix: a copy merged before keeps its name.
QString mergedName(const QString& path)
{
    QString candidate = path + QLatin1String(MergeSave::mergedSuffix);
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n) {
        candidate = path + QLatin1String(MergeSave::mergedSuffix) + QStringLiteral(".%1").arg(n);
    }
    return candidate;
}

bool renameWithoutReplacing(const QString& from, const QString& to)
{
    return ::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(to).constData(),
                       RENAME_NOREPLACE) == 0;
}

// Renames the merged copies, or none of them.
Outcome renameCopies(const ConflictScan& scan)
{
    Outcome outcome;
    QStringList done;
    for (const ConflictCopy& copy : scan.readableCopies()) {
        const QString to = mergedName(copy.path);
        if (!renameWithoutReplacing(copy.path, to)) {
            const int error = errno;
            for (qsizetype i = 0; i < done.size(); ++i) {
                renameWithoutReplacing(outcome.renamed.at(i), done.at(i));
            }
            return failed(Failure::Rename, copy.path, FileFault::system(error));
        }
        done.append(copy.path);
        outcome.renamed.append(to);
    }
    return outcome;
}

void undoRenames(const ConflictScan& scan, const Outcome& renames)
{
    const QList<ConflictCopy> copies = scan.readableCopies();
    for (qsizetype i = 0; i < renames.renamed.size(); ++i) {
        renameWithoutReplacing(renames.renamed.at(i), copies.at(i).path);
    }
}

Outcome checkVaultUnchanged(const Vault& vault)
{
    if (!unchanged(vault.vaultPath(), vault.vaultStamp())) {
        return failed(Failure::ChangedMeanwhile, vault.vaultPath());
    }
    if (!unchanged(vault.settingsPath(), vault.settingsStamp())) {
        return failed(Failure::ChangedMeanwhile, vault.settingsPath());
    }
    return {};
}

Outcome checkUnchanged(const Vault& vault, const ConflictScan& scan)
{
    if (Outcome outcome = checkVaultUnchanged(vault); !outcome.ok()) {
        return outcome;
    }
    for (const ConflictCopy& copy : scan.readableCopies()) {
        if (!unchanged(copy.path, copy.stamp)) {
            return failed(Failure::ChangedMeanwhile, copy.path);
        }
    }
    return {};
}

// The writer of pswd.tab holding the merged records.
std::unique_ptr<AtomicWriter> preparedVault(const Vault& vault, const EntryMerge& merge, Outcome& outcome)
{
    const EntryList merged(merge.records());
    return prepared(
        vault, VaultFile::fileName,
        [&](AtomicWriter& writer) {
            return VaultFile::writeEntries([&writer](QByteArrayView piece) { return writer.append(piece); }, merged,
                                           vault.settings().installationKey);
        },
        outcome);
}

} // namespace

namespace MergeSave {

Outcome saveEntries(const Vault& vault, const EntryMerge& merge)
{
    Outcome outcome = checkVaultUnchanged(vault);
    if (!outcome.ok() || !merge.changesVault()) {
        return outcome;
    }
    const std::unique_ptr<AtomicWriter> writer = preparedVault(vault, merge, outcome);
    if (writer && !writer->commit(AtomicWriter::Commit::ReplaceKeepingBackup)) {
        return failed(Failure::Write, vault.vaultPath(), writer->failure());
    }
    return outcome;
}

Outcome save(const Vault& vault, const ConflictScan& scan)
{
    Outcome outcome = checkUnchanged(vault, scan);
    std::unique_ptr<AtomicWriter> vaultWriter;
    std::unique_ptr<AtomicWriter> settingsWriter;
    if (outcome.ok() && scan.merge().changesVault()) {
        vaultWriter = preparedVault(vault, scan.merge(), outcome);
    }
    if (outcome.ok() && scan.settings()) {
        const QByteArray contents = SettingsFile::encode(*scan.settings());
        settingsWriter = prepared(
            vault, SettingsFile::fileName, [&](AtomicWriter& writer) { return writer.append(contents); }, outcome);
    }
    if (!outcome.ok()) {
        return outcome;
    }
    if (scan.renamesCopies()) {
        outcome = renameCopies(scan);
        if (!outcome.ok()) {
            return outcome;
        }
    }
    const auto commitFailed = [&](AtomicWriter& writer, const QString& path) {
        undoRenames(scan, outcome);
        return failed(Failure::Write, path, writer.failure());
    };
    if (settingsWriter && !settingsWriter->commit(AtomicWriter::Commit::ReplaceKeepingBackup)) {
        return commitFailed(*settingsWriter, vault.settingsPath());
    }
    if (vaultWriter && !vaultWriter->commit(AtomicWriter::Commit::ReplaceKeepingBackup)) {
        if (settingsWriter) {
            // The settings file replaced a moment ago is its backup now, the very same file.
            std::rename(QFile::encodeName(BackupFile::pathOf(vault.settingsPath())).constData(),
                        QFile::encodeName(vault.settingsPath()).constData());
        }
        return commitFailed(*vaultWriter, vault.vaultPath());
    }
    return outcome;
}

} // namespace MergeSave
