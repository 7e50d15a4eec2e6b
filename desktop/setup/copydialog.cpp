#include "install.h"

#include "dialogs.h"
#include "progress.h"
#include "resource.h"
#include "safepath.h"

#include <cstdio>
#include <cstring>

namespace {

// Copies one entry into the installation directory. An entry that could name
// a file elsewhere is never copied; an empty one fails like a missing file.
void copyEntry(HWND dialog, void* context, const char* entry) {
    const InstallRun* run = (const InstallRun*)context;
    if (!entry[0])
        return;
    if (!isSafeEntry(entry)) {
        showStringMessageWith(run->instance, dialog, IDS_UNSAFE_ENTRY, "Setup", MB_ICONEXCLAMATION,
                              entry);
        return;
    }
    char destination[kPathSize];
    if (!joinPath(destination, sizeof destination, run->directory, entry)) {
        showStringMessageWith(run->instance, dialog, IDS_PATH_TOO_LONG, "Setup", MB_ICONEXCLAMATION,
                              entry);
        return;
    }
    CopyFileA(entry, destination, FALSE);
}

void copyUninstaller() {
    char windows[kPathSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    char destination[kPathSize];
    if (length == 0 || length >= sizeof windows ||
        !joinPath(destination, sizeof destination, windows, "Ferryclear.exe"))
        return;
    CopyFileA("Ferryclear.exe", destination, FALSE);
}

void setString(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
}

void writeUninstallEntry(const InstallRun* run) {
    char title[kShortTextSize];
    char version[kShortTextSize];
    readTitle(&run->script, title);
    readVersion(&run->script, version);
    // A nameless entry would be the Uninstall key itself.
    if (!isUsableTitle(title))
        return;
    char keyPath[128];
    snprintf(keyPath, sizeof keyPath, "%s\\%s", kUninstallKey, title);
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return;
    char displayName[2 * kShortTextSize];
    snprintf(displayName, sizeof displayName, "%s %s", title, version);
    setString(key, "DisplayName", displayName);
    char windows[kPathSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length > 0 && length < sizeof windows) {
        char command[2 * kPathSize + 32];
        snprintf(command, sizeof command, "\"%s\\Ferryclear.exe\" %s", windows, run->directory);
        setString(key, "UninstallString", command);
    }
    RegCloseKey(key);
}

INT_PTR doWork(HWND dialog, void* context) {
    InstallRun* run = (InstallRun*)context;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    long count = startProgress(dialog, run->instance, &run->script, IDS_DAMAGED_COUNT, "Setup", 2);
    if (count < 0) {
        SetCursor(previous);
        return 0;
    }
    workThroughEntries(dialog, &run->script, count, copyEntry, run);
    setProgressText(dialog, "Adding Uninstall Information...", "");
    copyUninstaller();
    stepProgress(dialog);
    setProgressText(dialog, "Updating Registry entries...", "");
    writeUninstallEntry(run);
    stepProgress(dialog);
    SetCursor(previous);
    return 1;
}

} // namespace

int runCopyDialog(InstallRun* run) {
    return runProgressDialog(run->instance, doWork, run) == 1;
}
