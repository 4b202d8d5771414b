#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Replaces a whole file in one step: the bytes go to a temporary file beside it, which is flushed to disk and then
// renamed over the target. A write that fails or is interrupted leaves the previous file whole. The file is
// readable and writable by its owner only, from the first byte on.
namespace AtomicFile {

// Returns an empty text on success, otherwise the system's reason for the failure.
QString write(const QString& path, const QByteArray& bytes);

// Test seam: when set, called before every chunk is written with the number of bytes written so far; returning
// false makes that chunk fail as a full disk would.
using ChunkCheck = std::function<bool(qint64 written)>;
void setChunkCheckForTesting(ChunkCheck check);

} // namespace AtomicFile
