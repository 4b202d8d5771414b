#pragma once

class QCoreApplication;

// Qt's own texts (the boxes' context menus, the standard buttons, its reasons for failures) in the language of the
// program's: the user's Portuguese when the system speaks it and Qt has it, Brazilian Portuguese otherwise. Installed
// on the application, before the first window. False when no translation of Qt is installed; Qt then speaks English.
bool loadQtTranslation(QCoreApplication& application);
