#include "storage/damagenotice.h"

#include "storage/vaultfile.h"

namespace {

QString vaultName()
{
    return QString::fromLatin1(VaultFile::fileName);
}

// Where the bytes are, said the way the copy came about.
QString whereKept(const DamagedCopy::Result& copy)
{
    const QString kept = copy.outcome == DamagedCopy::Outcome::Copied
                             ? QStringLiteral("O arquivo como estava foi copiado, sem nenhuma alteração, para:")
                             : QStringLiteral("Uma cópia guardada antes, com exatamente o mesmo conteúdo, continua "
                                              "sem ser substituída em:");
    return kept + QLatin1Char('\n') + copy.path;
}

} // namespace

namespace DamageNotice {

QString lines(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 linha danificada") : QStringLiteral("%1 linhas danificadas").arg(count);
}

QString atStart(qsizetype count, const DamagedCopy::Result& copy)
{
    return QStringLiteral("O arquivo %1 tem %2: ele pode ter sido convertido ou corrompido por outro programa, e as "
                          "entradas dessas linhas podem aparecer ilegíveis.\n\n%3\n\nGuarde essa cópia: a próxima "
                          "alteração regrava o %1 só com as entradas mostradas.")
        .arg(vaultName(), lines(count), whereKept(copy));
}

QString readOnly(qsizetype count)
{
    return QStringLiteral("O arquivo %1 tem %2: ele pode ter sido convertido ou corrompido por outro programa, e as "
                          "entradas dessas linhas podem aparecer ilegíveis.\n\nO programa foi aberto só para leitura "
                          "e não o altera.")
        .arg(vaultName(), lines(count));
}

QString afterOutsideChange(qsizetype count, const DamagedCopy::Result& copy, bool saved)
{
    const QString listed = saved ? QStringLiteral("Para que nenhuma entrada fique ilegível, a sua alteração foi "
                                                  "gravada junto com as entradas que a lista mostrava.")
                                 : QStringLiteral("A lista continua com as entradas que mostrava.");
    return QStringLiteral("O arquivo %1 foi alterado fora do programa depois que o programa o leu, e agora tem %2: "
                          "ele pode ter sido convertido ou corrompido por outro programa.\n\n%3\n\n%4 O que foi "
                          "mudado fora do programa está só nessa cópia: guarde-a.")
        .arg(vaultName(), lines(count), whereKept(copy), listed);
}

QString copyFailed(qsizetype count, const DamagedCopy::Result& copy)
{
    return QStringLiteral("O arquivo %1 tem %2, e não foi possível guardar uma cópia dele em %3:\n%4\n\nPara que "
                          "nada se perca, nada foi gravado.")
        .arg(vaultName(), lines(count), copy.path, copy.reason);
}

} // namespace DamageNotice
