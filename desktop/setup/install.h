// Ferrywell's run: the directory dialog, the progress dialog that copies and
// registers, and the start of the Application Manager.
#pragma once

#include "setupscript.h"

#include <shlobj.h>
#include <windows.h>

struct InstallRun {
    HINSTANCE instance;
    SetupScript script;        // fixed when the directory dialog initialises
    char directory[kPathSize]; // set when the directory dialog is confirmed
};

// The whole program; the exit code, always 0.
int runSetup(HINSTANCE instance);

// 1 when the user confirmed a directory that now exists, 0 for Cancel.
int runDirectoryDialog(InstallRun* run);
// Copies the listed files and Ferryclear and writes the uninstall entry. 1
// when done, 0 when the script turned out damaged and nothing was copied.
int runCopyDialog(InstallRun* run);
void launchAppManager(const InstallRun* run);

// The folder browser, replaceable because a test cannot drive the system's
// own browser window.
typedef PIDLIST_ABSOLUTE(WINAPI* BrowseForFolderFn)(LPBROWSEINFOA info);
extern BrowseForFolderFn gBrowseForFolder;
