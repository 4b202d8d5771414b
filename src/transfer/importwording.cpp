#include "transfer/importwording.h"

#include "sync/entrymerge.h"
#include "sync/mergesave.h"
#include "sync/mergewording.h"

namespace {

QString counted(qsizetype count, const char* one, const char* many)
{
    return count == 0 ? QString() : QStringLiteral(", %1 ").arg(count) + QString::fromUtf8(count == 1 ? one : many);
}

} // namespace

namespace ImportWording {

QString updated(const EntryMerge& merge)
{
    return counted(merge.updated(), "atualizada", "atualizadas");
}

QString older(const EntryMerge& merge)
{
    return counted(merge.older(), "mais antiga que a do cofre", "mais antigas que as do cofre");
}

QString olderReason()
{
    return QStringLiteral("mais antiga que a entrada guardada, que fica como está");
}

QString failure(const MergeSave::Outcome& outcome)
{
    return MergeWording::reason(outcome) +
           QStringLiteral("\nNada foi alterado: o cofre continua como estava. Nenhuma entrada foi adicionada.");
}

} // namespace ImportWording
