#pragma once

#include <QString>

class QMimeData;

// Clipboard data holding the text as plain text, flagged so that clipboard managers and the clipboard history of
// the desktop do not keep it. Pasting gives exactly the text.
QMimeData* makeSecretMimeData(const QString& text);
