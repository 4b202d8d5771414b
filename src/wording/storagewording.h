#pragma once

#include "storage/storageresult.h"

#include <QString>

// What the user reads, in Portuguese, about what the stores of the data folder did.
namespace StorageWording {

// The notes of the result, one after the other; empty when there is nothing to tell.
QString message(const StorageResult& result);
QString sentence(const StorageNote& note);

// Asked before a data file of unusual size is read.
QString largeFileQuestion(const QString& path, qint64 megabytes);

} // namespace StorageWording
