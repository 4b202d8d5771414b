#pragma once

class QDialog;

// Shows the dialog modal to the whole program and returns when it is answered (accepted, rejected or closed), like
// QDialog::exec. Unlike exec, hiding the dialog does not end it: while the program is locked its windows are hidden
// and come back afterwards with what was typed in them.
void runModal(QDialog& dialog);

// How many dialogs run modal at the moment, each in an event loop of its own.
int runningModalDialogs();
