#include "support/datafolder.h"

#include <QFile>

DataFolder::DataFolder() = default;

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
