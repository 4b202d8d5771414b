#pragma once

#include "storage/filefault.h"

#include <QString>

// What the user reads, in Portuguese, about why a file could not be used, read or written.
namespace FaultWording {

// The reason for a failed system call.
QString systemReason(int errorNumber);

// The whole reason, with the paths and the command that mends it where there is one.
QString sentence(const FileFault& fault);

} // namespace FaultWording
