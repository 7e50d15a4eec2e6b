#include "uninstallentry.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

void entryKeyPath(char out[kEntryKeySize], const char* title) {
    snprintf(out, kEntryKeySize, "%s\\%s", kUninstallKey, title);
}

int uninstallCommand(char out[kCommandSize], const char* directory) {
    out[0] = '\0';
    char windows[kPathSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return 0;
    int written = snprintf(out, kCommandSize, "\"%s\\Ferryclear.exe\" %s", windows, directory);
    if (written < 0 || written >= kCommandSize) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

int readUninstallString(const char* title, char out[kCommandSize]) {
    memset(out, 0, kCommandSize);
    char keyPath[kEntryKeySize];
    entryKeyPath(keyPath, title);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    // One byte stays zero, so a value stored without its terminator still
    // ends inside the buffer.
    DWORD size = kCommandSize - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, "UninstallString", nullptr, &type, (BYTE*)out, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        memset(out, 0, kCommandSize);
    RegCloseKey(key);
    return 1;
}

// The folder's identity through a handle that asks for no access.
static int folderIdentity(const char* path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    int known = GetFileInformationByHandle(handle, info) != 0;
    CloseHandle(handle);
    return known;
}

static size_t withoutTrailingSeparators(const char* path) {
    size_t length = strlen(path);
    while (length > 1 && (path[length - 1] == '\\' || path[length - 1] == '/'))
        --length;
    return length;
}

// The same folder: one on disk, or, where either is missing, one spelling
// apart from letter case and trailing separators.
static int sameDirectory(const char* a, const char* b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (folderIdentity(a, &ia) && folderIdentity(b, &ib))
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    size_t length = withoutTrailingSeparators(a);
    return length == withoutTrailingSeparators(b) &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a, (int)length, b, (int)length) ==
               CSTR_EQUAL;
}

int entryIsFreeOrOurs(const char* title, const char* directory) {
    char value[kCommandSize];
    if (!readUninstallString(title, value))
        return 1;
    char ours[kCommandSize];
    if (!uninstallCommand(ours, ""))
        return 0;
    size_t prefix = strlen(ours);
    if (strncmp(value, ours, prefix))
        return 0;
    return !directory || sameDirectory(value + prefix, directory);
}
