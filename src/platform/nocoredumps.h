#pragma once

// Keeps the process from ever writing its memory, with every password read, to a core file: the process is made
// not dumpable and its core-size limit, soft and hard, is set to zero so that nothing it runs later can raise it.
// Call first thing in main, before any data file is read. Returns false when the system refused either step.
bool disableCoreDumps();
