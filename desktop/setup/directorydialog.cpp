#include "install.h"

#include "dialogs.h"
#include "resource.h"
#include "safepath.h"

#include <stdio.h>
#include <string.h>

BrowseForFolderFn gBrowseForFolder = SHBrowseForFolderA;

static const char kTitleProperty[] = "AppTitle";

static void attachTitle(HWND dialog, const char* title) {
    size_t size = strlen(title) + 1;
    char* copy = (char*)LocalAlloc(LPTR, size);
    if (copy)
        memcpy(copy, title, size);
    SetPropA(dialog, kTitleProperty, copy);
}

static void releaseTitle(HWND dialog) {
    HLOCAL copy = (HLOCAL)RemovePropA(dialog, kTitleProperty);
    if (copy)
        LocalFree(copy);
}

static void defaultDirectory(const char* title, char out[kPathSize]) {
    char windows[kPathSize];
    char drive[3] = "";
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length >= 2 && length < sizeof windows && windows[1] == ':') {
        drive[0] = windows[0];
        drive[1] = ':';
    }
    snprintf(out, kPathSize, "%s\\Program Files\\%s", drive, title);
}

static void onInitDialog(HWND dialog, InstallRun* run) {
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)run);
    centreDialog(dialog);
    openScriptHere(&run->script);
    char format[256];
    if (!LoadStringA(run->instance, IDS_WELCOME, format, sizeof format))
        format[0] = '\0';
    char title[kShortTextSize];
    char version[kShortTextSize];
    readTitle(&run->script, title);
    readVersion(&run->script, version);
    char welcome[512];
    snprintf(welcome, sizeof welcome, format, title, version);
    SetDlgItemTextA(dialog, IDC_WELCOME, welcome);
    char directory[kPathSize];
    defaultDirectory(title, directory);
    SetDlgItemTextA(dialog, IDC_DIRECTORY, directory);
    attachTitle(dialog, title);
}

static void onBrowse(HWND dialog, InstallRun* run) {
    char prompt[80];
    if (!LoadStringA(run->instance, IDS_BROWSE_PROMPT, prompt, sizeof prompt))
        prompt[0] = '\0';
    BROWSEINFOA info = {};
    info.hwndOwner = dialog;
    info.lpszTitle = prompt;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = gBrowseForFolder(&info);
    if (!chosen)
        return;
    char folder[kPathSize];
    BOOL hasPath = SHGetPathFromIDListA(chosen, folder);
    IMalloc* shellMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc))) {
        shellMalloc->Free(chosen);
        shellMalloc->Release();
    }
    if (!hasPath)
        return;
    const char* title = (const char*)GetPropA(dialog, kTitleProperty);
    char directory[kPathSize];
    if (!joinPath(directory, sizeof directory, folder, title ? title : "")) {
        showStringMessageWith(run->instance, dialog, IDS_PATH_TOO_LONG, "Setup", MB_ICONEXCLAMATION,
                              folder);
        return;
    }
    if (!title)
        directory[strlen(directory) - 1] = '\0';
    SetDlgItemTextA(dialog, IDC_DIRECTORY, directory);
}

// 1 when the directory exists now, whether made here or found.
static int makeDirectory(const char* directory) {
    if (CreateDirectoryA(directory, nullptr))
        return 1;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return 0;
    DWORD attributes = GetFileAttributesA(directory);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static void complain(HWND dialog, InstallRun* run, UINT textId) {
    char text[256];
    if (!LoadStringA(run->instance, textId, text, sizeof text))
        text[0] = '\0';
    MessageBoxA(dialog, text, "Setup", MB_OK | MB_ICONEXCLAMATION);
}

static void onSetup(HWND dialog, InstallRun* run) {
    if (GetWindowTextLengthA(GetDlgItem(dialog, IDC_DIRECTORY)) >= kPathSize) {
        complain(dialog, run, IDS_DIRECTORY_TOO_LONG);
        return;
    }
    char directory[kPathSize];
    GetDlgItemTextA(dialog, IDC_DIRECTORY, directory, sizeof directory);
    size_t length = strlen(directory);
    if (length > 0 && directory[length - 1] == '\\')
        directory[length - 1] = '\0';
    if (isRootDirectory(directory)) {
        complain(dialog, run, IDS_ROOT_DIRECTORY);
        return;
    }
    if (endsInDotOrBlank(directory)) {
        complain(dialog, run, IDS_DOT_OR_BLANK_DIRECTORY);
        return;
    }
    // The uninstall entry must name the same folder from wherever Ferryclear
    // is started, so a relative directory is made full before anything is
    // created.
    char full[kPathSize];
    DWORD fullLength = GetFullPathNameA(directory, sizeof full, full, nullptr);
    if (fullLength >= sizeof full) {
        complain(dialog, run, IDS_DIRECTORY_TOO_LONG);
        return;
    }
    if (fullLength == 0 || !makeDirectory(full)) {
        complain(dialog, run, IDS_CREATE_FAILED);
        return;
    }
    memcpy(run->directory, full, sizeof full);
    releaseTitle(dialog);
    EndDialog(dialog, 1);
}

static void onCancel(HWND dialog) {
    releaseTitle(dialog);
    EndDialog(dialog, 0);
}

static INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    InstallRun* run = (InstallRun*)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (LOWORD(wParam)) {
    case IDC_BROWSE:
        onBrowse(dialog, run);
        return TRUE;
    case IDOK:
        onSetup(dialog, run);
        return TRUE;
    case IDCANCEL:
        onCancel(dialog);
        return TRUE;
    }
    return FALSE;
}

static INT_PTR CALLBACK directoryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, (InstallRun*)lParam);
        return TRUE;
    case WM_COMMAND:
        return onCommand(dialog, wParam);
    }
    return FALSE;
}

int runDirectoryDialog(InstallRun* run) {
    return DialogBoxParamA(run->instance, MAKEINTRESOURCEA(IDD_DIRECTORY), nullptr, directoryProc,
                           (LPARAM)run) == 1;
}
