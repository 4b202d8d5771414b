#pragma once

#include <QString>

// What the entry windows tell the user.
namespace EntryMessages {

inline QString blankTitle()
{
    return QStringLiteral("O título não pode ficar vazio!");
}

inline QString entrySaved()
{
    return QStringLiteral("Entrada inserida com sucesso!");
}

inline QString entryUpdated()
{
    return QStringLiteral("Entrada atualizada com sucesso!");
}

inline QString entryDeleted()
{
    return QStringLiteral("Entrada excluída com sucesso!");
}

} // namespace EntryMessages
