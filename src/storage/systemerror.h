#pragma once

#include <QString>

// The reason for a failed system call, told to the user in Portuguese.
namespace SystemError {

QString reason(int errorNumber);

// The same reason for a text Qt gave as a file's errorString(): Qt writes the system's English text for a failed
// call, which is turned back into its number here; a text of Qt's own comes back unchanged.
QString reason(const QString& qtText);

} // namespace SystemError
