#include "storage/atomicfile.h"

#include <QSaveFile>

namespace {

AtomicFile::ChunkCheck chunkCheck;

constexpr qint64 chunkSize = 1 << 20;

bool writeAll(QSaveFile& file, const QByteArray& bytes)
{
    for (qint64 written = 0; written < bytes.size(); written += chunkSize) {
        const qint64 length = qMin(chunkSize, bytes.size() - written);
        if (chunkCheck && !chunkCheck(written)) {
            return false;
        }
        if (file.write(bytes.constData() + written, length) != length) {
            return false;
        }
    }
    return true;
}

} // namespace

namespace AtomicFile {

QString write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!writeAll(file, bytes)) {
        const QString reason =
            file.error() == QFileDevice::NoError ? QStringLiteral("No space left on device") : file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

void setChunkCheckForTesting(ChunkCheck check)
{
    chunkCheck = std::move(check);
}

} // namespace AtomicFile
