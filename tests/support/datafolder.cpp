#include "support/datafolder.h"

#include <QFile>

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
