#include "app/kdbxcommands.h"

#include "app/commandtexts.h"
#include "app/kdbxmoduleloader.h"
#include "app/terminalpassword.h"
#include "secrets/memorywipe.h"
#include "storage/atomicwriter.h"
#include "storage/vault.h"
#include "transfer/entrykdbx.h"
#include "transfer/importmerge.h"
#include "transfer/importwording.h"
#include "transfer/kdbx/kdbxformat.h"
#include "wording/faultwording.h"

#include <QFileInfo>

using namespace CommandTexts;

namespace {

// How long one key derivation takes on this machine, as KeePassXC chooses it.
constexpr int derivationMilliseconds = 1000;

// The test suite's own lighter Argon2 cost, "KiB,iterations", so that its many databases open quickly.
KdbxCost exportCost(const KdbxFormat& format)
{
    const QStringList test = qEnvironmentVariable("KEYHOUND_TEST_KDBX_ARGON2").split(QLatin1Char(','));
    if (test.size() == 2 && test[0].toULongLong() >= 8 && test[1].toULongLong() >= 1) {
        return {test[0].toULongLong() * 1024, test[1].toULongLong(), 1};
    }
    return format.calibratedArgon2id(derivationMilliseconds);
}

QString readProblem(KdbxRead::Status status)
{
    using Status = KdbxRead::Status;
    switch (status) {
    case Status::Read:
        break;
    case Status::NotKeePass:
        return QStringLiteral("o arquivo não é um banco de dados do KeePass");
    case Status::UnsupportedVersion:
        return QStringLiteral("o banco de dados é de uma versão do KeePass que o KeyHound não lê (ele lê as versões "
                              "3.1 e 4)");
    case Status::UnsupportedCipher:
        return QStringLiteral("o banco de dados usa uma cifra que o KeyHound não conhece (ele conhece AES-256, "
                              "ChaCha20 e Salsa20)");
    case Status::UnsupportedKdf:
        return QStringLiteral("o banco de dados usa uma derivação de chave que o KeyHound não conhece (ele conhece "
                              "Argon2 e AES-KDF)");
    case Status::KdfFailed:
        return QStringLiteral("não foi possível derivar a chave com os parâmetros do banco de dados (memória "
                              "insuficiente?)");
    case Status::WrongKey:
        return QStringLiteral("a senha está errada, ou o banco de dados também exige um arquivo-chave ou uma chave "
                              "de hardware, que o KeyHound não usa");
    case Status::Damaged:
        break;
    }
    return QStringLiteral("o arquivo está danificado");
}

// A KeePass job without its module: that the module is missing and what the job left undone, then why, with what
// to do.
CommandOutput withoutModule(const KdbxModuleLoader::Loaded& module, const QString& outcome)
{
    return failure(QStringLiteral("O módulo do KeePass não pôde ser carregado. ") + outcome + QStringLiteral("\n\n") +
                   module.problem);
}

QString importSummary(const EntryKdbx::Import& imported, const EntryMerge& merge)
{
    QString summary = counted(merge.added(), "entrada adicionada", "entradas adicionadas") +
                      ImportWording::updated(merge) + QStringLiteral(", ") +
                      counted(imported.refused.size(), "recusada", "recusadas");
    if (const qsizetype repeated = imported.repeated + merge.same(); repeated > 0) {
        summary += QStringLiteral(", ") +
                   counted(repeated, "igual a uma entrada já guardada", "iguais a entradas já guardadas");
    }
    return summary + ImportWording::older(merge) + QStringLiteral(".\n");
}

} // namespace

namespace KdbxCommands {

bool isDatabasePath(const QString& path)
{
    return path.endsWith(QStringLiteral(".kdbx"), Qt::CaseInsensitive);
}

CommandOutput exportEntries(const EntryList& entries, const QString& path, const QDateTime& now)
{
    const QString nothingExported = QStringLiteral(" Nada foi exportado.");
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink()) {
        return failure(QStringLiteral("O arquivo %1 já existe, e o KeyHound não grava sobre ele.").arg(native(path)) +
                       nothingExported);
    }
    const KdbxModuleLoader::Loaded& module = KdbxModuleLoader::load();
    if (module.format == nullptr) {
        return withoutModule(module, nothingExported.trimmed());
    }
    TerminalPassword::Answer answer =
        TerminalPassword::chosen(QStringLiteral("Senha para o banco de dados %1: ").arg(native(path)));
    if (!answer.problem.isEmpty()) {
        return failure(answer.problem + nothingExported);
    }
    QList<KdbxEntry> converted;
    converted.reserve(entries.size());
    for (qsizetype index = 0; index < entries.size(); ++index) {
        converted.append(EntryKdbx::entryOf(entries.at(index), now));
    }
    const QByteArray database =
        module.format->write(converted, answer.password, exportCost(*module.format), now.toUTC());
    MemoryWipe::wipe(answer.password);
    if (database.isEmpty()) {
        return failure(QStringLiteral("Não foi possível derivar a chave do banco de dados (memória insuficiente?).") +
                       nothingExported);
    }
    if (const FileFault reason = AtomicWriter::write(path, database, AtomicWriter::Commit::CreateNew);
        !reason.isNone()) {
        return failure(QStringLiteral("Não foi possível gravar o arquivo %1: %2.")
                           .arg(native(path), withoutFullStop(FaultWording::sentence(reason))) +
                       nothingExported);
    }
    return {0,
            counted(entries.size(), "entrada exportada", "entradas exportadas") +
                QStringLiteral(" para o banco de dados cifrado %1.\n").arg(native(path)),
            {}};
}

CommandOutput importEntries(const QByteArray& file, const Vault& vault, const QString& path, const QDateTime& now)
{
    const QString cannotImport = QStringLiteral("Não foi possível importar o arquivo %1: %2. Nenhuma entrada foi "
                                                "adicionada.");
    const QString nothingAdded = QStringLiteral("Nenhuma entrada foi adicionada.");
    const KdbxModuleLoader::Loaded& module = KdbxModuleLoader::load();
    if (module.format == nullptr) {
        return withoutModule(module, nothingAdded);
    }
    if (const KdbxRead::Status status = module.format->openable(file); status != KdbxRead::Status::Read) {
        return failure(cannotImport.arg(native(path), readProblem(status)));
    }
    TerminalPassword::Answer answer =
        TerminalPassword::existing(QStringLiteral("Senha do banco de dados %1: ").arg(native(path)));
    if (!answer.problem.isEmpty()) {
        return failure(answer.problem + QLatin1Char(' ') + nothingAdded);
    }
    const KdbxRead read = module.format->read(file, answer.password);
    MemoryWipe::wipe(answer.password);
    if (read.status != KdbxRead::Status::Read) {
        return failure(cannotImport.arg(native(path), readProblem(read.status)));
    }
    const EntryKdbx::Import imported = EntryKdbx::recordsOf(read.entries, vault.entries(), now);
    const ImportMerge merged(vault, imported.records, imported.undated);
    if (const MergeSave::Outcome saved = merged.save(); !saved.ok()) {
        return failure(ImportWording::failure(saved));
    }
    QString reasons;
    for (const QString& reason : imported.refused) {
        reasons += QStringLiteral("Entrada recusada, %1\n").arg(reason);
    }
    for (const qsizetype at : merged.older()) {
        reasons += QStringLiteral("Entrada deixada de fora, %1: %2\n")
                       .arg(imported.names.at(at), ImportWording::olderReason());
    }
    return {imported.refused.isEmpty() ? 0 : 1, importSummary(imported, merged.merge()), reasons};
}

} // namespace KdbxCommands
