#include "uninstallentry.h"

#include <cstdio>
#include <cstring>
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

int entryIsFreeOrOurs(const char* title) {
    char value[kCommandSize];
    if (!readUninstallString(title, value))
        return 1;
    char ours[kCommandSize];
    if (!uninstallCommand(ours, ""))
        return 0;
    return !strncmp(value, ours, strlen(ours));
}
