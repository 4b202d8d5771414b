#pragma once

#include <QString>

// The reason for a failed system call, told to the user in Portuguese.
namespace SystemError {

QString reason(int errorNumber);

} // namespace SystemError
