#include "wording/faultwording.h"

#include "storage/damagedcopy.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

namespace {

using Kind = FileFault::Kind;

// A path as the shell takes it, quoted only when it has to be, so that the command shown can be pasted.
QString shellArgument(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%,=-]+$"));
    if (plain.match(path).hasMatch()) {
        return path;
    }
    QString quoted = path;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

QString permissions(const FileFault& fault)
{
    return QString::number(fault.permissions, 8);
}

QString typeOf(const FileFault& fault)
{
    switch (fault.type) {
    case FileFault::Type::Folder:
        return QStringLiteral("uma pasta");
    case FileFault::Type::Pipe:
        return QStringLiteral("um pipe nomeado");
    case FileFault::Type::Device:
        return QStringLiteral("um dispositivo");
    case FileFault::Type::Socket:
        return QStringLiteral("um socket");
    case FileFault::Type::Special:
        break;
    }
    return QStringLiteral("um arquivo especial");
}

QString systemReason(const FileFault& fault)
{
    return FaultWording::systemReason(fault.error);
}

// Steps of a save that failed.
QString writeFault(const FileFault& fault)
{
    switch (fault.kind) {
    case Kind::BackupNotKept:
        return QStringLiteral("A cópia de segurança %1 não pôde ser guardada. %2")
            .arg(QFileInfo(fault.path).fileName(), systemReason(fault));
    case Kind::FolderNotSynced:
        return QStringLiteral("A pasta %1 não pôde ser gravada no disco, e a gravação não estaria garantida. %2")
            .arg(fault.path, systemReason(fault));
    case Kind::ReplacedWhileWriting:
        return QStringLiteral("O arquivo foi substituído por outro programa durante a gravação, e a versão dele "
                              "ficou em %1. %2")
            .arg(fault.path, systemReason(fault));
    case Kind::ChangedWhileWriting:
        return QStringLiteral("O arquivo foi alterado por outro programa durante a gravação.");
    default:
        return QStringLiteral("Já há %1 cópias danificadas guardadas; apague as que não quiser mais.")
            .arg(DamagedCopy::lastNumber);
    }
}

QString folderFault(const FileFault& fault)
{
    switch (fault.kind) {
    case Kind::FolderUnexamined:
        return QStringLiteral("Não foi possível examinar a pasta de dados %1:\n%2")
            .arg(fault.path, systemReason(fault));
    case Kind::NotAFolder:
        return QStringLiteral("%1 não é uma pasta.").arg(fault.path);
    case Kind::FolderOfOtherUser:
        return QStringLiteral("A pasta de dados %1 pertence a outro usuário (%2), que poderia trocar os arquivos de "
                              "senhas guardados nela.\n\nGuarde o programa e seus arquivos numa pasta sua.")
            .arg(fault.path, fault.owner);
    default:
        return QStringLiteral("A pasta de dados %1 pode ser alterada por outros usuários (permissões %2), que "
                              "poderiam trocar os arquivos de senhas guardados nela.\n\nPara protegê-la, execute:\n"
                              "chmod 700 %3")
            .arg(fault.path, permissions(fault), shellArgument(fault.path));
    }
}

QString ancestorFault(const FileFault& fault)
{
    switch (fault.kind) {
    case Kind::AncestorUnexamined:
        return QStringLiteral("Não foi possível examinar a pasta %1, no caminho de %2:\n%3")
            .arg(fault.path, fault.below, systemReason(fault));
    case Kind::AncestorOfOtherUser:
        return QStringLiteral("A pasta %1, no caminho de %2, pertence a outro usuário (%3), que poderia trocar o que "
                              "há dentro dela.\n\nGuarde o programa e seus arquivos numa pasta sua.")
            .arg(fault.path, fault.below, fault.owner);
    default:
        return QStringLiteral("A pasta %1, no caminho de %2, pode ser alterada por outros usuários (permissões %3), "
                              "que poderiam trocar o que há dentro dela.\n\nPara protegê-la, execute:\nchmod go-w %4")
            .arg(fault.path, fault.below, permissions(fault), shellArgument(fault.path));
    }
}

QString fileFault(const FileFault& fault)
{
    switch (fault.kind) {
    case Kind::FileUnexamined:
        return QStringLiteral("Não foi possível examinar o arquivo %1:\n%2").arg(fault.path, systemReason(fault));
    case Kind::NotRegular:
        return QStringLiteral("O arquivo %1 não é um arquivo comum, e sim %2, e não pode ser lido nem gravado.\n\n"
                              "Remova-o da pasta ou ponha em seu lugar o arquivo de dados.")
            .arg(fault.path, typeOf(fault));
    case Kind::FileOfOtherUser:
        return QStringLiteral("O arquivo %1 pertence a outro usuário (%2) e não será lido nem gravado.\n\n"
                              "Se ele for seu, torne-o seu com:\nsudo chown %3 %4")
            .arg(fault.path, fault.owner, fault.user, shellArgument(fault.path));
    default:
        return QStringLiteral("O arquivo %1 pode ser alterado por outros usuários (permissões %2).\n\n"
                              "Para protegê-lo, execute:\nchmod 600 %3")
            .arg(fault.path, permissions(fault), shellArgument(fault.path));
    }
}

QString linkFault(const FileFault& fault)
{
    switch (fault.kind) {
    case Kind::LinkOfOtherUser:
        return QStringLiteral("O link pertence a outro usuário (%1) e não será seguido. Remova-o e ponha em seu "
                              "lugar o arquivo de dados.")
            .arg(fault.owner);
    case Kind::LinkUnreadable:
        return systemReason(fault);
    case Kind::LinkTargetMissing:
        return QStringLiteral("Esse arquivo não existe. Remova o link ou ponha o arquivo de dados em seu lugar.");
    case Kind::LinkToLink:
        return QStringLiteral("Esse é outro link simbólico: só um link direto para o arquivo de dados é seguido.");
    default:
        return QStringLiteral("Esse não é um arquivo comum, e sim %1. Remova o link e ponha em seu lugar o arquivo "
                              "de dados.")
            .arg(typeOf(fault));
    }
}

QString unlinkedSentence(const FileFault& fault)
{
    switch (fault.kind) {
    case Kind::None:
        return {};
    case Kind::System:
        return systemReason(fault);
    case Kind::Qt:
        return fault.text;
    case Kind::BackupNotKept:
    case Kind::FolderNotSynced:
    case Kind::ReplacedWhileWriting:
    case Kind::ChangedWhileWriting:
    case Kind::NoFreeDamagedCopy:
        return writeFault(fault);
    case Kind::FolderUnexamined:
    case Kind::NotAFolder:
    case Kind::FolderOfOtherUser:
    case Kind::FolderOpenToOthers:
        return folderFault(fault);
    case Kind::AncestorUnexamined:
    case Kind::AncestorOfOtherUser:
    case Kind::AncestorOpenToOthers:
        return ancestorFault(fault);
    case Kind::FileUnexamined:
    case Kind::NotRegular:
    case Kind::FileOfOtherUser:
    case Kind::FileOpenToOthers:
        return fileFault(fault);
    case Kind::LinkOfOtherUser:
    case Kind::LinkUnreadable:
    case Kind::LinkTargetMissing:
    case Kind::LinkToLink:
    case Kind::LinkToOtherType:
        return linkFault(fault);
    }
    return {};
}

} // namespace

namespace FaultWording {

QString systemReason(int errorNumber)
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
    case ENAMETOOLONG:
        return QStringLiteral("O caminho é longo demais.");
    default:
        return QStringLiteral("Erro do sistema nº %1 (%2).")
            .arg(errorNumber)
            .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

QString sentence(const FileFault& fault)
{
    if (fault.link.isEmpty()) {
        return unlinkedSentence(fault);
    }
    return QStringLiteral("O arquivo %1 é um link simbólico para %2.\n\n%3")
        .arg(fault.link, fault.linkTarget, unlinkedSentence(fault));
}

} // namespace FaultWording
