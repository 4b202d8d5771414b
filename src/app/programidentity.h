#pragma once

// The program's names and version, as the desktop, the command line and the data folder's location see them.
// Called before the application object is made.
void nameProgram();
