#include "storage/storageresult.h"

namespace StorageNote {

QString fileError(const QString& fileName, const QString& action, const QString& reason)
{
    return QStringLiteral("Não foi possível %1 o arquivo %2:\n%3").arg(action, fileName, reason);
}

QString endingNote()
{
    return QStringLiteral("\n\nO programa será encerrado.");
}

QString changedOutsideNote(const QString& fileName)
{
    return QStringLiteral("O arquivo %1 foi alterado fora do programa depois que o programa o leu.").arg(fileName);
}

QString repeatedChangeNote()
{
    return QStringLiteral(" Ele continuou sendo alterado enquanto a alteração era gravada, e nada foi gravado. "
                          "Tente de novo quando o outro programa terminar.");
}

QString removedNote(const QString& fileName, const QString& writtenWith)
{
    return QStringLiteral("O arquivo %1 tinha sido removido fora do programa depois que o programa o leu. Ele foi "
                          "gravado de novo com %2.")
        .arg(fileName, writtenWith);
}

QString removedUnsavedNote(const QString& fileName, const QString& heldWhere)
{
    return QStringLiteral("O arquivo %1 tinha sido removido fora do programa depois que o programa o leu: %2 está "
                          "agora só no programa. Tente gravar de novo antes de fechá-lo.")
        .arg(fileName, heldWhere);
}

StorageResult withoutKey(const QString& fileName)
{
    return StorageResult::failed(
        fileError(fileName, QStringLiteral("gravar"), QStringLiteral("As configurações ainda não foram lidas.")));
}

StorageResult refusedWrite(const QString& refusal)
{
    return StorageResult::failed(refusal + QStringLiteral("\n\nNada foi gravado."));
}

} // namespace StorageNote
