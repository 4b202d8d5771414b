#include "app/kdbxmoduleloader.h"

#include "storage/datafilecheck.h"
#include "transfer/kdbx/kdbxformat.h"
#include "wording/faultwording.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reinstall()
{
    return QStringLiteral("\n\nInstale o KeyHound de novo, o programa e o módulo juntos.");
}

KdbxModuleLoader::Loaded refused(const QString& why)
{
    return {nullptr, why};
}

// The module file itself: a regular file that only its owner, the user or root, may change.
QString fileRefusal(const QString& path, const struct stat& info)
{
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("%1 não é um arquivo comum.").arg(path) + reinstall();
    }
    if (info.st_uid != ::geteuid() && info.st_uid != 0) {
        return QStringLiteral("O módulo %1 pertence a outro usuário (número %2), que poderia trocá-lo, e não será "
                              "carregado.")
            .arg(path)
            .arg(info.st_uid);
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return QStringLiteral("O módulo %1 pode ser alterado por outros usuários (permissões %2) e não será "
                              "carregado.\n\nPara protegê-lo, tire deles a permissão de escrita (chmod go-w).")
            .arg(path, QString::number(info.st_mode & 07777, 8));
    }
    return {};
}

// The module's entry, once it is known to be a module of this interface.
KdbxModuleLoader::Loaded entered(void* handle, const QString& path)
{
    const auto entryPoint = reinterpret_cast<KdbxModuleEntryFunction>(::dlsym(handle, kdbxModuleEntryPoint));
    const KdbxModuleEntry* entry = entryPoint ? entryPoint() : nullptr;
    if (entry == nullptr) {
        ::dlclose(handle);
        return refused(QStringLiteral("O arquivo %1 não é o módulo do KeePass do KeyHound.").arg(path) + reinstall());
    }
    if (entry->interfaceVersion != KdbxFormat::interfaceVersion || entry->format == nullptr) {
        const quint32 version = entry->interfaceVersion;
        ::dlclose(handle);
        return refused(
            QStringLiteral("O módulo %1 é de outra versão do KeyHound (interface %2; este programa usa a %3).")
                .arg(path)
                .arg(version)
                .arg(KdbxFormat::interfaceVersion) +
            reinstall());
    }
    return {entry->format, {}};
}

// Where the module may be, in the order it is looked for, for an executable in that folder.
QStringList places(const QString& executableFolder)
{
    const QDir folder(executableFolder);
    return {folder.filePath(QStringLiteral(KEYHOUND_KDBX_MODULE)),
            QDir::cleanPath(folder.filePath(QStringLiteral(KEYHOUND_KDBX_MODULE_DIR "/" KEYHOUND_KDBX_MODULE)))};
}

KdbxModuleLoader::Loaded loadFrom(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat info
    {};
    if (::stat(encoded.constData(), &info) != 0) {
        return refused(
            QStringLiteral("Não foi possível examinar o módulo %1: %2").arg(path, FaultWording::systemReason(errno)));
    }
    if (QString why = fileRefusal(path, info); !why.isEmpty()) {
        return refused(why);
    }
    if (QString why = FaultWording::sentence(DataFileCheck::ancestorsRefusal(path)); !why.isEmpty()) {
        return refused(why);
    }
    void* handle = ::dlopen(encoded.constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return refused(QStringLiteral("O sistema não carregou o módulo: %1.").arg(QString::fromLocal8Bit(::dlerror())) +
                       reinstall());
    }
    return entered(handle, path);
}

} // namespace

const KdbxModuleLoader::Loaded& KdbxModuleLoader::load()
{
    static const Loaded loaded = [] {
        const QStringList candidates = places(QCoreApplication::applicationDirPath());
        for (const QString& candidate : candidates) {
            if (QFileInfo(candidate).exists() || QFileInfo(candidate).isSymLink()) {
                return loadFrom(candidate);
            }
        }
        return refused(QStringLiteral("O arquivo %1 não está em %2 nem em %3.")
                           .arg(QStringLiteral(KEYHOUND_KDBX_MODULE), QFileInfo(candidates[0]).path(),
                                QFileInfo(candidates[1]).path()) +
                       reinstall());
    }();
    return loaded;
}
