#include "install.h"

#include "dialogs.h"
#include "installplace.h"
#include "progress.h"
#include "resource.h"
#include "safepath.h"
#include "uninstallentry.h"

#include <stdio.h>
#include <string.h>

namespace {

struct CopyWork {
    const InstallRun* run;
    InstallPlace place;
};

} // namespace

// Copies one entry into the installation directory. An entry that could name
// a file elsewhere is never copied; an empty one fails like a missing file.
static void copyEntry(HWND dialog, void* context, const char* entry) {
    const CopyWork* work = (const CopyWork*)context;
    if (!entry[0])
        return;
    switch (copyIntoPlace(&work->place, entry)) {
    case kPlaceRefused:
        showStringMessageWith(work->run->instance, dialog, IDS_UNSAFE_ENTRY, "Setup",
                              MB_ICONEXCLAMATION, entry);
        return;
    case kPlaceTooLong:
        showStringMessageWith(work->run->instance, dialog, IDS_PATH_TOO_LONG, "Setup",
                              MB_ICONEXCLAMATION, entry);
        return;
    default:
        return;
    }
}

static void copyUninstaller() {
    char windows[kPathSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    char destination[kPathSize];
    if (length == 0 || length >= sizeof windows ||
        !joinPath(destination, sizeof destination, windows, "Ferryclear.exe"))
        return;
    CopyFileA("Ferryclear.exe", destination, FALSE);
}

static void setString(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
}

// Another program's entry of the same title is left as it is, and the user
// is told which key stood in the way.
static void writeUninstallEntry(HWND dialog, const InstallRun* run) {
    char title[kShortTextSize];
    char version[kShortTextSize];
    readTitle(&run->script, title);
    readVersion(&run->script, version);
    // A nameless entry would be the Uninstall key itself.
    if (!isUsableTitle(title))
        return;
    char keyPath[kEntryKeySize];
    entryKeyPath(keyPath, title);
    if (!entryIsFreeOrOurs(title, run->directory)) {
        showStringMessageWith(run->instance, dialog, IDS_FOREIGN_ENTRY_KEPT, "Setup",
                              MB_ICONEXCLAMATION, keyPath);
        return;
    }
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return;
    char displayName[2 * kShortTextSize];
    snprintf(displayName, sizeof displayName, "%s %s", title, version);
    setString(key, "DisplayName", displayName);
    char command[kCommandSize];
    if (uninstallCommand(command, run->directory))
        setString(key, "UninstallString", command);
    RegCloseKey(key);
}

static INT_PTR doWork(HWND dialog, void* context) {
    InstallRun* run = (InstallRun*)context;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    long count = startProgress(dialog, run->instance, &run->script, IDS_DAMAGED_COUNT, "Setup", 2);
    if (count < 0) {
        SetCursor(previous);
        return 0;
    }
    CopyWork work = {run, {}};
    openInstallPlace(&work.place, run->directory);
    workThroughEntries(dialog, &run->script, count, copyEntry, &work);
    setProgressText(dialog, "Adding Uninstall Information...", "");
    copyUninstaller();
    stepProgress(dialog);
    setProgressText(dialog, "Updating Registry entries...", "");
    writeUninstallEntry(dialog, run);
    stepProgress(dialog);
    SetCursor(previous);
    return 1;
}

int runCopyDialog(InstallRun* run) {
    return runProgressDialog(run->instance, doWork, run) == 1;
}
