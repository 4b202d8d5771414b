#include "support/datafolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>

DataFolder::DataFolder(const QString& parent)
    : m_dir(parent.isEmpty() ? QTemporaryDir() : QTemporaryDir(parent + QStringLiteral("/data-XXXXXX")))
{}

QByteArray DataFolder::read(const QString& name) const
{
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void DataFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

QMap<QString, QByteArray> DataFolder::files() const
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo& file : QDir(path()).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        files[file.fileName()] = file.isSymLink() ? "link to " + QFile::encodeName(file.symLinkTarget())
                                 : file.isFile()  ? read(file.fileName())
                                                  : QByteArray("not a file");
    }
    return files;
}

bool DataFolder::shell(const QString& commands) const
{
    return QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-ec"), "cd " + path() + "; " + commands}) == 0;
}
