#include "uninstall.h"

#include "dialogs.h"
#include "installplace.h"
#include "progress.h"
#include "resource.h"
#include "safepath.h"
#include "uninstallentry.h"

#include <string.h>

namespace {

struct RemoveWork {
    const UninstallRun* run;
    InstallPlace place;
};

} // namespace

// Deletes one listed file. An entry that could name a file outside the
// installation directory, or that goes through a link, is left alone.
static void removeEntry(HWND dialog, void* context, const char* entry) {
    const RemoveWork* work = (const RemoveWork*)context;
    if (deleteFromPlace(&work->place, entry) == kPlaceTooLong)
        showStringMessageWith(work->run->instance, dialog, IDS_PATH_TOO_LONG, "Uninstall",
                              MB_ICONEXCLAMATION, entry);
}

// The title comes from a script in a folder others may write to, so the key
// it names is deleted only when it is the entry that starts this very
// uninstall. Never the Uninstall key itself, another program's entry, or a
// key below one.
static void removeUninstallEntry(const UninstallRun* run, const char* title) {
    if (!isUsableTitle(title))
        return;
    char value[kCommandSize];
    char expected[kCommandSize];
    if (!readUninstallString(title, value) || !uninstallCommand(expected, run->directory) ||
        strcmp(value, expected))
        return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0,
                      KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &key) != ERROR_SUCCESS)
        return;
    RegDeleteKeyA(key, title);
    RegCloseKey(key);
}

static INT_PTR doWork(HWND dialog, void* context) {
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
    RemoveWork work = {run, {}};
    openInstallPlace(&work.place, run->directory);
    workThroughEntries(dialog, &run->script, count, removeEntry, &work);
    RemoveDirectoryA(run->directory);
    setProgressText(dialog, "Removing Registry entries...", "");
    removeUninstallEntry(run, title);
    stepProgress(dialog);
    SetCursor(previous);
    return 1;
}

// Whatever the work met has been told already; the program ends the same way.
void runRemoveDialog(UninstallRun* run) {
    runProgressDialog(run->instance, doWork, run);
}
