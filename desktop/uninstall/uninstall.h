// Ferryclear's run: a question, then the progress dialog that deletes the
// listed files, the emptied directory and the uninstall entry.
#pragma once

#include "setupscript.h"

#include <windows.h>

struct UninstallRun {
    HINSTANCE instance;
    char directory[kPathSize];
    SetupScript script;
};

// The whole program for the given command line (the program's name first);
// the exit code, always 0.
int runUninstall(HINSTANCE instance, const char* commandLine);

// The installation directory: the command line after the program's own name
// (quoted or not) and the blanks after it, verbatim.
const char* directoryArgument(const char* commandLine);

void runRemoveDialog(UninstallRun* run);
