#pragma once

#include <QString>

namespace HelpText {

// The help window's text: four paragraphs separated by an empty line, lines ending in CR LF except the last.
QString text();

} // namespace HelpText
