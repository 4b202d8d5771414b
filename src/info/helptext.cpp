#include "info/helptext.h"

#include <QStringList>

namespace HelpText {

QString text()
{
    const QStringList paragraphs = {
        QStringLiteral("As Passwords sempre são classificadas em ordem alfabética."),
        QStringLiteral("Para inserir nova Password, simplesmente clique no ícone do Lôbo e insira os dados. "),
        QStringLiteral("Duplo clique na lista, mostra os dados completos da Password e a habilita para atualização / "
                       "deleção."),
        QStringLiteral("Se deletar seu arquivo original de configuração, vai perder todas as Passwords salvas. "
                       "Portanto, seja cuidadoso!"),
    };
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

} // namespace HelpText
