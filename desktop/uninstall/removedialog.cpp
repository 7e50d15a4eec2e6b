#include "uninstall.h"

#include "dialogs.h"
#include "resource.h"
#include "safepath.h"

#include <commctrl.h>

namespace {

struct RemoveDialog {
    UninstallRun* run;
};

void step(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

// Deletes one listed file. An entry that could name a file outside the
// installation directory is left alone.
void removeEntry(HWND dialog, const UninstallRun* run, const char* entry) {
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

void doWork(HWND dialog, const UninstallRun* run) {
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char title[kShortTextSize];
    readTitle(&run->script, title);
    SetDlgItemTextA(dialog, IDC_PROGRESS_LABEL, "Removing file:");
    long count = readCount(&run->script);
    if (count > kMaxEntryCount) {
        SetCursor(previous);
        showStringMessage(run->instance, IDS_DAMAGED_COUNT, "Uninstall", MB_ICONSTOP);
        EndDialog(dialog, 0);
        return;
    }
    if (count < 0)
        count = 0;
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, count + 1));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    for (long n = 1; n <= count; ++n) {
        char entry[kPathSize];
        readEntry(&run->script, n, entry);
        SetDlgItemTextA(dialog, IDC_PROGRESS_ENTRY, entry);
        UpdateWindow(dialog);
        removeEntry(dialog, run, entry);
        step(dialog);
    }
    RemoveDirectoryA(run->directory);
    SetDlgItemTextA(dialog, IDC_PROGRESS_LABEL, "Removing Registry entries...");
    SetDlgItemTextA(dialog, IDC_PROGRESS_ENTRY, "");
    removeUninstallEntry(title);
    step(dialog);
    SetCursor(previous);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK removeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        centreDialog(dialog);
        PostMessageA(dialog, WM_START_WORK, 0, 0);
        return TRUE;
    case WM_START_WORK:
        doWork(dialog, ((RemoveDialog*)GetWindowLongPtrA(dialog, DWLP_USER))->run);
        return TRUE;
    }
    return FALSE;
}

} // namespace

void runRemoveDialog(UninstallRun* run) {
    RemoveDialog state = {run};
    DialogBoxParamA(run->instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, removeProc,
                    (LPARAM)&state);
}
