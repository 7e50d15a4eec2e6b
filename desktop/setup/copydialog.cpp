#include "install.h"

#include "dialogs.h"
#include "resource.h"
#include "safepath.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

namespace {

struct CopyDialog {
    InstallRun* run;
};

void setPhase(HWND dialog, const char* label, const char* entry) {
    SetDlgItemTextA(dialog, IDC_PROGRESS_LABEL, label);
    SetDlgItemTextA(dialog, IDC_PROGRESS_ENTRY, entry);
}

void step(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

// Copies one entry into the installation directory. An entry that could name
// a file elsewhere is never copied; an empty one fails like a missing file.
void copyEntry(HWND dialog, const InstallRun* run, const char* entry) {
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

void doWork(HWND dialog, CopyDialog* state) {
    const InstallRun* run = state->run;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    long count = readCount(&run->script);
    if (count > kMaxEntryCount) {
        SetCursor(previous);
        showStringMessage(run->instance, IDS_DAMAGED_COUNT, "Setup", MB_ICONSTOP);
        EndDialog(dialog, 0);
        return;
    }
    if (count < 0)
        count = 0;
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, count + 2));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    for (long n = 1; n <= count; ++n) {
        char entry[kPathSize];
        readEntry(&run->script, n, entry);
        SetDlgItemTextA(dialog, IDC_PROGRESS_ENTRY, entry);
        UpdateWindow(dialog);
        copyEntry(dialog, run, entry);
        step(dialog);
    }
    setPhase(dialog, "Adding Uninstall Information...", "");
    copyUninstaller();
    step(dialog);
    setPhase(dialog, "Updating Registry entries...", "");
    writeUninstallEntry(run);
    step(dialog);
    SetCursor(previous);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK copyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        centreDialog(dialog);
        PostMessageA(dialog, WM_START_WORK, 0, 0);
        return TRUE;
    case WM_START_WORK:
        doWork(dialog, (CopyDialog*)GetWindowLongPtrA(dialog, DWLP_USER));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int runCopyDialog(InstallRun* run) {
    CopyDialog state = {run};
    return DialogBoxParamA(run->instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, copyProc,
                           (LPARAM)&state) == 1;
}
