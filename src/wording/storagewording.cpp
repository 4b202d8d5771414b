#include "wording/storagewording.h"

#include "storage/vaultfile.h"
#include "wording/damagewording.h"
#include "wording/faultwording.h"

namespace StorageWording {

namespace {

const QString vaultName = QString::fromLatin1(VaultFile::fileName);

QString fileError(const QString& action, const StorageNote& note, const QString& reason)
{
    return QStringLiteral("Não foi possível %1 o arquivo %2:\n%3").arg(action, note.file, reason);
}

QString fileError(const QString& action, const StorageNote& note)
{
    return fileError(action, note, FaultWording::sentence(note.fault));
}

QString changedOutside(const StorageNote& note)
{
    return QStringLiteral("O arquivo %1 foi alterado fora do programa depois que o programa o leu.").arg(note.file);
}

QString listReread()
{
    return QStringLiteral("\n\nA lista mostra agora o que o arquivo contém.");
}

QString removed(const StorageNote& note, const QString& writtenWith)
{
    return QStringLiteral("O arquivo %1 tinha sido removido fora do programa depois que o programa o leu. Ele foi "
                          "gravado de novo com %2.")
        .arg(note.file, writtenWith);
}

QString removedUnsaved(const StorageNote& note, const QString& heldWhere)
{
    return QStringLiteral("O arquivo %1 tinha sido removido fora do programa depois que o programa o leu: %2 está "
                          "agora só no programa. Tente gravar de novo antes de fechá-lo.")
        .arg(note.file, heldWhere);
}

QString restoreFromBackup(const StorageNote& note)
{
    return QStringLiteral("Para restaurar, copie %1.bak para %1 na pasta %2 e abra o programa de novo.")
        .arg(note.file, note.folder);
}

QString outsideChange(const StorageNote& note)
{
    switch (note.reason) {
    case StorageReason::ChangedOutsideNothingWritten:
        return changedOutside(note) + QStringLiteral(" Nada foi gravado.");
    case StorageReason::ChangedOutsideWhileWriting:
        return changedOutside(note) +
               QStringLiteral(" Ele continuou sendo alterado enquanto a alteração era gravada, e nada foi gravado. "
                              "Tente de novo quando o outro programa terminar.");
    case StorageReason::ChangedOutsideShownEntryGone:
        return changedOutside(note) + QStringLiteral(" A entrada mostrada não está mais nele, e nada foi gravado.") +
               listReread();
    case StorageReason::ChangedOutsideListReread:
        return changedOutside(note) + listReread();
    case StorageReason::ChangedOutsideSettingsReread:
        return changedOutside(note) +
               QStringLiteral(" Nada foi gravado; as configurações foram lidas de novo do arquivo. Confira-as e "
                              "salve de novo se quiser alterá-las.");
    default:
        return changedOutside(note) +
               QStringLiteral(" A sua alteração foi feita sobre o conteúdo atual do arquivo, sem perder o que foi "
                              "mudado fora; a versão anterior ficou em %1.bak.")
                   .arg(note.file) +
               listReread();
    }
}

QString removal(const StorageNote& note)
{
    switch (note.reason) {
    case StorageReason::EntriesRemovedRewritten:
        return removed(note, QStringLiteral("as entradas que a lista mostrava e a sua alteração"));
    case StorageReason::EntriesRemovedUnsaved:
        return removedUnsaved(note, QStringLiteral("o que ele guardava"));
    case StorageReason::SettingsRemovedRewritten:
        return removed(note, QStringLiteral("a chave de instalação que o programa guardava, sem a qual o %1 não pode "
                                            "ser lido, e as configurações escolhidas")
                                 .arg(vaultName));
    default:
        return removedUnsaved(note, QStringLiteral("a chave de instalação que lê o %1").arg(vaultName));
    }
}

QString installationKey(const StorageNote& note)
{
    switch (note.reason) {
    case StorageReason::SettingsMissingBackupHoldsKey:
        return QStringLiteral("O arquivo %1 não foi encontrado, mas a cópia de segurança %1.bak guarda uma chave de "
                              "instalação. Para não perder as senhas, nenhuma chave nova foi criada e nada foi "
                              "gravado.\n\n")
                   .arg(note.file) +
               restoreFromBackup(note);
    case StorageReason::NoInstallationKey:
        return QStringLiteral("O arquivo %1 não contém uma chave de instalação válida e não foi alterado.\nSem ela as "
                              "senhas não podem ser lidas nem gravadas com segurança.")
            .arg(note.file);
    default:
        return QStringLiteral("A cópia de segurança %1.bak guarda uma chave de instalação. ").arg(note.file) +
               restoreFromBackup(note);
    }
}

} // namespace

QString sentence(const StorageNote& note)
{
    switch (note.reason) {
    case StorageReason::Refused:
        return FaultWording::sentence(note.fault);
    case StorageReason::ReadOnly:
        return QStringLiteral("Nada foi gravado: o programa foi aberto só para leitura.\n\n") + note.detail;
    case StorageReason::CannotRead:
        return fileError(QStringLiteral("ler"), note);
    case StorageReason::CannotWrite:
        return fileError(QStringLiteral("gravar"), note);
    case StorageReason::CannotCreate:
        return fileError(QStringLiteral("criar"), note);
    case StorageReason::OutOfMemory:
        return fileError(QStringLiteral("ler"), note, QStringLiteral("Não há memória suficiente."));
    case StorageReason::CheckFolderWritable:
        return QStringLiteral("Nada foi gravado. Verifique se há espaço livre no disco e se a pasta %1 permite "
                              "gravação.")
            .arg(note.folder);
    case StorageReason::LargeFileNotOpened:
        return QStringLiteral("O arquivo %1 não foi aberto.").arg(note.file);
    case StorageReason::SettingsNotRead:
        return fileError(QStringLiteral("gravar"), note, QStringLiteral("As configurações ainda não foram lidas."));
    case StorageReason::NothingWritten:
        return QStringLiteral("Nada foi gravado.");
    case StorageReason::NothingReadOrWritten:
        return QStringLiteral("Nada foi lido nem gravado.");
    case StorageReason::ChangedOutsideNothingWritten:
    case StorageReason::ChangedOutsideWhileWriting:
    case StorageReason::ChangedOutsideShownEntryGone:
    case StorageReason::ChangedOutsideListReread:
    case StorageReason::ChangedOutsideSettingsReread:
    case StorageReason::SavedOverOutsideChange:
        return outsideChange(note);
    case StorageReason::EntriesRemovedRewritten:
    case StorageReason::EntriesRemovedUnsaved:
    case StorageReason::SettingsRemovedRewritten:
    case StorageReason::SettingsRemovedUnsaved:
        return removal(note);
    case StorageReason::PreviousFileKept:
        return QStringLiteral("O arquivo anterior foi preservado e nada foi alterado.");
    case StorageReason::PreviousSettingsKept:
        return QStringLiteral("As configurações anteriores foram preservadas.");
    case StorageReason::SettingsMissingBackupHoldsKey:
    case StorageReason::NoInstallationKey:
    case StorageReason::BackupHoldsKey:
        return installationKey(note);
    case StorageReason::ProgramEnds:
        return QStringLiteral("O programa será encerrado.");
    case StorageReason::DamagedAtStart:
    case StorageReason::DamagedReadOnly:
    case StorageReason::DamagedOutsideSaved:
    case StorageReason::DamagedOutsideUnsaved:
    case StorageReason::DamagedCopyFailed:
        return DamageWording::sentence(note);
    }
    return {};
}

QString message(const StorageResult& result)
{
    QStringList sentences;
    for (const StorageNote& note : result.notes) {
        sentences.append(sentence(note));
    }
    return sentences.join(QStringLiteral("\n\n"));
}

QString largeFileQuestion(const QString& path, qint64 megabytes)
{
    return QStringLiteral("O arquivo %1 tem %2 MB, muito mais do que um arquivo de senhas costuma ter. Ele pode não "
                          "ser um arquivo deste programa, e lê-lo pode demorar e ocupar muita memória.\n\nAbrir assim "
                          "mesmo?")
        .arg(path)
        .arg(megabytes);
}

} // namespace StorageWording
