#include "sync/mergewording.h"

#include "sync/conflictscan.h"
#include "sync/mergesave.h"
#include "wording/faultwording.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString counted(qsizetype count, const char* one, const char* many)
{
    return QStringLiteral("%1 ").arg(count) + QString::fromUtf8(count == 1 ? one : many);
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString nameOf(const ConflictCopy& copy)
{
    const QString name = QFileInfo(copy.path).fileName();
    return copy.tool.isEmpty() ? native(copy.path) : QStringLiteral("%1 (%2)").arg(name, copy.tool);
}

QString problemOf(const ConflictCopy& copy)
{
    switch (copy.problem) {
    case ConflictCopy::Problem::None:
        break;
    case ConflictCopy::Problem::Refused:
    case ConflictCopy::Problem::Unreadable:
        return FaultWording::sentence(copy.detail);
    case ConflictCopy::Problem::TooLarge:
        return QStringLiteral("o arquivo é grande demais para ser um arquivo de senhas.");
    case ConflictCopy::Problem::Damaged:
        return QStringLiteral("o arquivo tem linhas danificadas.");
    case ConflictCopy::Problem::NoKnownKey:
        return copy.kind == ConflictCopy::Kind::Settings
                   ? QStringLiteral("o arquivo não contém uma chave de instalação válida.")
                   : QStringLiteral("nenhuma chave de instalação conhecida o lê como um arquivo de senhas.");
    }
    return {};
}

} // namespace

namespace MergeWording {

QString settingsNote(const ConflictScan& scan)
{
    return scan.settings() ? QStringLiteral("\nA senha mestra e a opção de pedi-la ao iniciar passam a ser as da "
                                            "cópia de cnfg.tab, gravada depois; a chave de instalação não muda.")
                           : QString();
}

QString counts(const EntryMerge& merge)
{
    QString text = counted(merge.added(), "entrada nova", "entradas novas") + QStringLiteral(", ") +
                   counted(merge.updated(), "atualizada", "atualizadas") + QStringLiteral(", ") +
                   counted(merge.same(), "igual", "iguais");
    if (merge.older() > 0) {
        text += QStringLiteral(", ") + counted(merge.older(), "mais antiga que a daqui", "mais antigas que as daqui") +
                QStringLiteral(" (fica só na cópia)");
    }
    return text;
}

QString unreadable(const ConflictScan& scan)
{
    QString text;
    for (const ConflictCopy& copy : scan.unreadableCopies()) {
        text += QStringLiteral("%1: %2\n").arg(nameOf(copy), problemOf(copy));
    }
    return text;
}

QString question(const ConflictScan& scan)
{
    QString names;
    for (const ConflictCopy& copy : scan.readableCopies()) {
        names += nameOf(copy) + QLatin1Char('\n');
    }
    QString text = QStringLiteral("Há cópias em conflito dos arquivos de dados, deixadas por um programa de "
                                  "sincronização quando o cofre foi alterado em dois computadores:\n\n%1\n"
                                  "Juntá-las ao cofre dá: %2.%3\n\n")
                       .arg(names, counts(scan.merge()), settingsNote(scan));
    if (const QString left = unreadable(scan); !left.isEmpty()) {
        text += QStringLiteral("Estas não podem ser lidas e ficam como estão:\n%1\n").arg(left);
    }
    return text + QStringLiteral("As cópias juntadas são renomeadas com o final %1 e não são apagadas. Uma entrada "
                                 "apagada no outro computador pode voltar: pelos arquivos não se distingue uma "
                                 "exclusão de uma adição.\n\nJuntar agora?")
                      .arg(QLatin1String(MergeSave::mergedSuffix));
}

QString reason(const MergeSave::Outcome& outcome)
{
    using Failure = MergeSave::Outcome::Failure;
    switch (outcome.failure) {
    case Failure::None:
        break;
    case Failure::ChangedMeanwhile:
        return QStringLiteral("O arquivo %1 foi alterado por outro programa depois de lido.").arg(native(outcome.path));
    case Failure::Refused:
        return FaultWording::sentence(outcome.reason);
    case Failure::Write:
        return QStringLiteral("Não foi possível gravar o arquivo %1:\n%2")
            .arg(native(outcome.path), FaultWording::sentence(outcome.reason));
    case Failure::Rename:
        return QStringLiteral("Não foi possível renomear o arquivo %1:\n%2")
            .arg(native(outcome.path), FaultWording::sentence(outcome.reason));
    }
    return {};
}

QString failure(const MergeSave::Outcome& outcome)
{
    if (outcome.ok()) {
        return {};
    }
    return QStringLiteral("As cópias não foram juntadas. %1\n\nNada foi alterado: o cofre e as cópias continuam "
                          "como estavam.")
        .arg(reason(outcome));
}

QString done(const ConflictScan& scan, const MergeSave::Outcome& outcome)
{
    QString text = QStringLiteral("Cópias juntadas ao cofre: %1.%2").arg(counts(scan.merge()), settingsNote(scan));
    if (!outcome.renamed.isEmpty()) {
        text += QStringLiteral("\n\nAs cópias foram renomeadas para:\n");
        for (const QString& renamed : outcome.renamed) {
            text += QFileInfo(renamed).fileName() + QLatin1Char('\n');
        }
    }
    return text;
}

} // namespace MergeWording
