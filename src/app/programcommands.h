#pragma once

class CommandLine;

// Adds the program's own command-line jobs to the standard ones.
void addProgramCommands(CommandLine& commandLine);
