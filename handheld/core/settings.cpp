#include "settings.h"

#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"

#include <stdio.h>

static const WCHAR kSettingsKey[] = L"Software\\Twigmark";

int defaultNotePath(WCHAR* path, int pathChars) {
    WCHAR folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, TRUE))
        return 0;
    int made = _snwprintf(path, (size_t)pathChars, L"%s\\Note Tree.twk", folder);
    path[pathChars - 1] = 0;
    return made > 0 && made < pathChars;
}

// The command line as a path: blanks around it dropped, one pair of quotes
// removed. Sets *start to its first character and returns its length.
static int commandLinePath(const WCHAR* commandLine, const WCHAR** start) {
    while (*commandLine == L' ' || *commandLine == L'\t')
        ++commandLine;
    int length = lstrlenW(commandLine);
    while (length > 0 && (commandLine[length - 1] == L' ' || commandLine[length - 1] == L'\t'))
        --length;
    if (length >= 2 && commandLine[0] == L'"' && commandLine[length - 1] == L'"') {
        ++commandLine;
        length -= 2;
    }
    *start = commandLine;
    return length < 0 ? 0 : length;
}

int commandLineFits(const WCHAR* commandLine) {
    const WCHAR* start;
    return !commandLine || commandLinePath(commandLine, &start) <= kPathChars - 1;
}

// Start-up has refused a path that does not fit (commandLineFits).
static void applyCommandLine(const WCHAR* commandLine) {
    const WCHAR* start;
    int length = commandLinePath(commandLine, &start);
    if (length <= 0 || length > kPathChars - 1)
        return;
    memcpy(gProgram.notePath, start, (size_t)length * sizeof(WCHAR));
    gProgram.notePath[length] = 0;
}

// "DefFile" into the path: 0 when it is missing, empty, not text or longer
// than the 259 characters a path holds. The value need not end in a zero,
// so one is put after what was read.
static int readStoredPath(HKEY key) {
    WCHAR value[kPathChars + 1] = {};
    DWORD type = 0, bytes = kPathChars * sizeof(WCHAR);
    if (RegQueryValueExW(key, L"DefFile", nullptr, &type, (BYTE*)value, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return 0;
    value[bytes / sizeof(WCHAR)] = 0;
    int length = lstrlenW(value);
    if (length == 0 || length > kPathChars - 1)
        return 0;
    memcpy(gProgram.notePath, value, (size_t)(length + 1) * sizeof(WCHAR));
    return 1;
}

void loadSettings(HWND mainWindow, const WCHAR* commandLine) {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, &disposition) != ERROR_SUCCESS)
        return;
    if (!readStoredPath(key) && !defaultNotePath(gProgram.notePath, kPathChars))
        gProgram.notePath[0] = 0;
    if (commandLine && *commandLine)
        applyCommandLine(commandLine);

    // Exactly four bytes of a number; anything else counts as 0.
    DWORD hide = 0, type = 0, bytes = sizeof hide;
    if (RegQueryValueExW(key, L"HideEdit", nullptr, &type, (BYTE*)&hide, &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof hide)
        hide = 0;
    gOptions.hideNoteWindow = hide != 0;
    updateViewMenuChecks();
    if (gOptions.hideNoteWindow)
        layoutMainWindow(mainWindow);
    RegCloseKey(key);
}

void saveSettings() {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return;
    gProgram.notePath[kPathChars - 1] = 0;
    DWORD bytes = (DWORD)((lstrlenW(gProgram.notePath) + 1) * sizeof(WCHAR));
    RegSetValueExW(key, L"DefFile", 0, REG_SZ, (const BYTE*)gProgram.notePath, bytes);
    DWORD hide = gOptions.hideNoteWindow ? 1 : 0;
    RegSetValueExW(key, L"HideEdit", 0, REG_DWORD, (const BYTE*)&hide, sizeof hide);
    RegCloseKey(key);
}
