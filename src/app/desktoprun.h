#pragma once

// Runs the program with its windows on this user's data folder, once the application object exists: takes the
// folder's lock, or brings the copy already running on it to the front and ends. Returns the exit status.
int runDesktop();
