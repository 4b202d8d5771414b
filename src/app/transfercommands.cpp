#include "app/transfercommands.h"

#include "app/datafolderlock.h"
#include "app/datalocation.h"
#include "storage/atomicwriter.h"
#include "storage/systemerror.h"
#include "storage/vault.h"
#include "transfer/entrycsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A reason written as a sentence of its own ends in one full stop.
QString withoutFullStop(const QString& reason)
{
    return reason.endsWith(QLatin1Char('.')) ? reason.chopped(1) : reason;
}

CommandOutput failure(const QString& message)
{
    return {1, {}, message + QLatin1Char('\n')};
}

QString counted(qsizetype count, const char* one, const char* many)
{
    return count == 1 ? QStringLiteral("1 ") + QString::fromUtf8(one)
                      : QStringLiteral("%1 ").arg(count) + QString::fromUtf8(many);
}

// Claims the data folder for the job: empty when it may go on, otherwise why not.
QString claim(DataFolderLock& lock, const QString& dataFolder, bool changesFiles)
{
    switch (lock.take()) {
    case DataFolderLock::Outcome::Taken:
        return {};
    case DataFolderLock::Outcome::HeldByAnotherCopy:
        return QStringLiteral("O KeyHound está aberto com os dados da pasta %1. Feche-o e tente de novo.")
            .arg(native(dataFolder));
    case DataFolderLock::Outcome::ReadOnlyFolder:
        // No copy can change the files there: reading them is safe.
        return changesFiles ? QStringLiteral("A pasta %1 não permite gravação.").arg(native(dataFolder)) : QString();
    case DataFolderLock::Outcome::Failed:
        break;
    }
    return lock.failureMessage();
}

} // namespace

namespace TransferCommands {

CommandOutput exportTo(const QString& dataFolder, const QString& csvPath, const QDateTime& now)
{
    DataFolderLock lock(dataFolder);
    if (const QString refused = claim(lock, dataFolder, false); !refused.isEmpty()) {
        return failure(refused + QStringLiteral(" Nada foi exportado."));
    }
    Vault vault(dataFolder);
    if (!QFileInfo::exists(vault.vaultPath()) || !QFileInfo::exists(vault.settingsPath())) {
        return failure(
            QStringLiteral("Não há dados do KeyHound na pasta %1. Nada foi exportado.").arg(native(dataFolder)));
    }
    if (const StorageResult opened = vault.open(now); !opened.ok()) {
        return failure(opened.message);
    }
    const QString reason =
        AtomicWriter::write(csvPath, EntryCsv::write(vault.entries(), now.date()), AtomicWriter::Commit::CreateNew);
    if (!reason.isEmpty()) {
        return failure(QStringLiteral("Não foi possível gravar o arquivo %1: %2. Nada foi exportado.")
                           .arg(native(csvPath), withoutFullStop(reason)));
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
    if (const QString problem = DataLocation::prepare(dataFolder); !problem.isEmpty()) {
        return failure(problem + nothingAdded);
    }
    DataFolderLock lock(dataFolder);
    if (const QString refused = claim(lock, dataFolder, true); !refused.isEmpty()) {
        return failure(refused + nothingAdded);
    }
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return failure(QStringLiteral("Não foi possível ler o arquivo %1:\n%2")
                           .arg(native(csvPath), SystemError::reason(file.errorString())) +
                       nothingAdded);
    }
    const QByteArray csv = file.readAll();
    Vault vault(dataFolder);
    if (const StorageResult opened = vault.open(now); !opened.ok()) {
        return failure(opened.message + nothingAdded);
    }
    const EntryCsv::Import imported = EntryCsv::read(csv, vault.entries(), now);
    if (!imported.error.isEmpty()) {
        return failure(
            QStringLiteral("Não foi possível importar o arquivo %1: %2.").arg(native(csvPath), imported.error) +
            nothingAdded);
    }
    if (!imported.records.isEmpty()) {
        if (const StorageResult added = vault.addEntries(imported.records); !added.ok()) {
            return failure(added.message);
        }
    }
    QString skipped;
    for (const QString& reason : imported.skipped) {
        skipped += reason + QLatin1Char('\n');
    }
    return {0,
            counted(imported.records.size(), "entrada adicionada", "entradas adicionadas") + QStringLiteral(", ") +
                counted(imported.skipped.size(), "linha ignorada", "linhas ignoradas") + QStringLiteral(".\n"),
            skipped};
}

} // namespace TransferCommands
