#pragma once

#include "app/commandline.h"

#include <QString>

// Pieces of what the command-line jobs say.
namespace CommandTexts {

QString native(const QString& path);
// A reason written as a sentence of its own ends in one full stop.
QString withoutFullStop(const QString& reason);
CommandOutput failure(const QString& message);
// "1 entrada adicionada", "3 entradas adicionadas".
QString counted(qsizetype count, const char* one, const char* many);

} // namespace CommandTexts
