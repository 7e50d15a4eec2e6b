#include "uninstall.h"

#include "dialogs.h"
#include "progress.h"
#include "resource.h"
#include "safepath.h"

namespace {

// Deletes one listed file. An entry that could name a file outside the
// installation directory is left alone.
void removeEntry(HWND dialog, void* context, const char* entry) {
    const UninstallRun* run = (const UninstallRun*)context;
    if (!isSafeEntry(entry))
        return;
    char path[kPathSize];
    if (!joinPath(path, sizeof path, run->directory, entry)) {
        showStringMessageWith(run->instance, dialog, IDS_PATH_TOO_LONG, "Uninstall",
                              MB_ICONEXCLAMATION, entry);
        return;
    }
    DeleteFileA(path);
}

// Only the entry a usable title names is deleted, never the Uninstall key
// itself nor a key below another entry.
void removeUninstallEntry(const char* title) {
    if (!isUsableTitle(title))
        return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0,
                      KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &key) != ERROR_SUCCESS)
        return;
    RegDeleteKeyA(key, title);
    RegCloseKey(key);
}

INT_PTR doWork(HWND dialog, void* context) {
    UninstallRun* run = (UninstallRun*)context;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char title[kShortTextSize];
    readTitle(&run->script, title);
    SetDlgItemTextA(dialog, IDC_PROGRESS_LABEL, "Removing file:");
    long count =
        startProgress(dialog, run->instance, &run->script, IDS_DAMAGED_COUNT, "Uninstall", 1);
    if (count < 0) {
        SetCursor(previous);
        return 0;
    }
    workThroughEntries(dialog, &run->script, count, removeEntry, run);
    RemoveDirectoryA(run->directory);
    setProgressText(dialog, "Removing Registry entries...", "");
    removeUninstallEntry(title);
    stepProgress(dialog);
    SetCursor(previous);
    return 1;
}

} // namespace

// Whatever the work met has been told already; the program ends the same way.
void runRemoveDialog(UninstallRun* run) {
    runProgressDialog(run->instance, doWork, run);
}
