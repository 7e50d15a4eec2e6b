// The uninstall entry that ties an installation to Ferryclear: its key below
// the system's Uninstall key, named by the title, and its "UninstallString".
// The title comes from a script anyone may have written, so the key it names
// may belong to another program; the "UninstallString" tells whose it is.
#pragma once

#include "setupscript.h"

enum {
    // The Uninstall key, a backslash and a title.
    kEntryKeySize = 160,
    // The quoted Ferryclear path, a blank and the installation directory.
    kCommandSize = 2 * kPathSize + 32,
};

// The key below HKEY_LOCAL_MACHINE that holds the title's entry.
void entryKeyPath(char out[kEntryKeySize], const char* title);

// The command that starts Ferryclear on the directory: the quoted path of the
// shared copy in the Windows directory, a blank and the directory. 0 when the
// Windows directory is unknown or the command would not fit.
int uninstallCommand(char out[kCommandSize], const char* directory);

// The entry's "UninstallString": 1 when the key exists, with out empty when
// the value is missing or no string; 0 when there is no such key.
int readUninstallString(const char* title, char out[kCommandSize]);

// 1 when the title's key is missing or was written by Ferrywell for this
// installation: its "UninstallString" starts Ferryclear from the Windows
// directory on the directory given (the same folder, however spelled). An
// entry of another installation by Ferrywell is not ours: rewritten, it would
// leave that one impossible to remove. With directory null (not chosen yet),
// any entry written by Ferrywell counts.
int entryIsFreeOrOurs(const char* title, const char* directory);
