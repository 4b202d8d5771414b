#include "storage/systemerror.h"

#include <cerrno>
#include <cstring>

namespace SystemError {

QString reason(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("Não há espaço livre no disco.");
    case EDQUOT:
        return QStringLiteral("A cota de disco do usuário foi excedida.");
    case EFBIG:
        return QStringLiteral("O arquivo ultrapassa o tamanho máximo permitido.");
    case EROFS:
        return QStringLiteral("O disco está protegido contra gravação (somente leitura).");
    case EACCES:
    case EPERM:
        return QStringLiteral("Permissão negada.");
    case EIO:
        return QStringLiteral("Erro de leitura ou gravação no disco.");
    case ENOENT:
        return QStringLiteral("O arquivo ou a pasta não existe.");
    case ENOTDIR:
        return QStringLiteral("Uma parte do caminho não é uma pasta.");
    case EISDIR:
        return QStringLiteral("O caminho é uma pasta, não um arquivo.");
    case EEXIST:
        return QStringLiteral("O arquivo já existe.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Há arquivos abertos demais.");
    default:
        return QStringLiteral("Erro do sistema nº %1 (%2).")
            .arg(errorNumber)
            .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

QString reason(const QString& qtText)
{
    // Past the highest error number Linux and Windows define.
    constexpr int lastErrorNumber = 200;
    for (int errorNumber = 1; errorNumber <= lastErrorNumber; ++errorNumber) {
        if (qt_error_string(errorNumber) == qtText) {
            return reason(errorNumber);
        }
    }
    return qtText;
}

} // namespace SystemError
