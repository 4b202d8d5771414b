#include "wording/damagewording.h"

#include "storage/vaultfile.h"
#include "wording/faultwording.h"

namespace {

QString vaultName()
{
    return QString::fromLatin1(VaultFile::fileName);
}

// Where the bytes are, said the way the copy came about.
QString whereKept(const StorageNote& note)
{
    const QString kept = !note.earlierCopy
                             ? QStringLiteral("O arquivo como estava foi copiado, sem nenhuma alteração, para:")
                             : QStringLiteral("Uma cópia guardada antes, com exatamente o mesmo conteúdo, continua "
                                              "sem ser substituída em:");
    return kept + QLatin1Char('\n') + note.file;
}

QString lines(const StorageNote& note)
{
    return DamageWording::lines(note.damagedLines);
}

QString atStart(const StorageNote& note)
{
    return QStringLiteral("O arquivo %1 tem %2: ele pode ter sido convertido ou corrompido por outro programa, e as "
                          "entradas dessas linhas podem aparecer ilegíveis.\n\n%3\n\nGuarde essa cópia: a próxima "
                          "alteração regrava o %1 só com as entradas mostradas.")
        .arg(vaultName(), lines(note), whereKept(note));
}

QString readOnly(const StorageNote& note)
{
    return QStringLiteral("O arquivo %1 tem %2: ele pode ter sido convertido ou corrompido por outro programa, e as "
                          "entradas dessas linhas podem aparecer ilegíveis.\n\nO programa foi aberto só para leitura "
                          "e não o altera.")
        .arg(vaultName(), lines(note));
}

QString afterOutsideChange(const StorageNote& note)
{
    const QString listed = note.reason == StorageReason::DamagedOutsideSaved
                               ? QStringLiteral("Para que nenhuma entrada fique ilegível, a sua alteração foi "
                                                "gravada junto com as entradas que a lista mostrava.")
                               : QStringLiteral("A lista continua com as entradas que mostrava.");
    return QStringLiteral("O arquivo %1 foi alterado fora do programa depois que o programa o leu, e agora tem %2: "
                          "ele pode ter sido convertido ou corrompido por outro programa.\n\n%3\n\n%4 O que foi "
                          "mudado fora do programa está só nessa cópia: guarde-a.")
        .arg(vaultName(), lines(note), whereKept(note), listed);
}

QString copyFailed(const StorageNote& note)
{
    return QStringLiteral("O arquivo %1 tem %2, e não foi possível guardar uma cópia dele em %3:\n%4\n\nPara que "
                          "nada se perca, nada foi gravado.")
        .arg(vaultName(), lines(note), note.file, FaultWording::sentence(note.fault));
}

} // namespace

namespace DamageWording {

QString lines(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 linha danificada") : QStringLiteral("%1 linhas danificadas").arg(count);
}

QString sentence(const StorageNote& note)
{
    switch (note.reason) {
    case StorageReason::DamagedAtStart:
        return atStart(note);
    case StorageReason::DamagedReadOnly:
        return readOnly(note);
    case StorageReason::DamagedCopyFailed:
        return copyFailed(note);
    default:
        return afterOutsideChange(note);
    }
}

} // namespace DamageWording
