#include "install.h"

#include "dialogs.h"
#include "installplace.h"
#include "resource.h"

#include <stdio.h>
#include <string.h>

static const char kAppMgrKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAppMgr.exe";

// The default value of the App Paths key. 0 when the key is missing; an
// unreadable or oversized value leaves the path empty.
static int findAppManager(char program[kPathSize]) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAppMgrKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    memset(program, 0, kPathSize);
    DWORD size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS &&
        size != 0) {
        // One byte stays zero, so a value stored without its terminator
        // still ends inside the buffer.
        DWORD room = kPathSize - 1;
        if (RegQueryValueExA(key, nullptr, nullptr, nullptr, (BYTE*)program, &room) !=
            ERROR_SUCCESS)
            memset(program, 0, kPathSize);
    }
    RegCloseKey(key);
    return 1;
}

void launchAppManager(const InstallRun* run) {
    char program[kPathSize];
    if (!findAppManager(program)) {
        showStringMessage(run->instance, IDS_NO_APPMGR, "Setup", MB_ICONSTOP);
        return;
    }
    char file[kPathSize];
    readAppMgrIni(&run->script, file);
    // A quote would end the one argument early and let the script add
    // arguments of its own to a program started with administrator rights.
    if (strchr(file, '"')) {
        showStringMessage(run->instance, IDS_APPMGR_FAILED, "Setup", MB_ICONSTOP);
        return;
    }
    // The file goes to a program started elevated, so it obeys every rule a
    // listed file obeys: below the directory, through no link. A file that
    // is simply missing is the Application Manager's to report.
    InstallPlace place;
    openInstallPlace(&place, run->directory);
    switch (checkInPlace(&place, file)) {
    case kPlaceRefused:
        showStringMessageWith(run->instance, nullptr, IDS_UNSAFE_ENTRY, "Setup", MB_ICONSTOP, file);
        return;
    case kPlaceTooLong:
        showStringMessageWith(run->instance, nullptr, IDS_PATH_TOO_LONG, "Setup", MB_ICONSTOP,
                              file);
        return;
    default:
        break;
    }
    size_t length = strlen(run->directory);
    const char* separator = length > 0 && run->directory[length - 1] == '\\' ? "" : "\\";
    char argument[kPathSize];
    int written =
        snprintf(argument, sizeof argument, "\"%s%s%s\"", run->directory, separator, file);
    if (written < 0 || written >= (int)sizeof argument) {
        showStringMessageWith(run->instance, nullptr, IDS_PATH_TOO_LONG, "Setup", MB_ICONSTOP,
                              file);
        return;
    }
    INT_PTR result =
        (INT_PTR)ShellExecuteA(nullptr, "open", program, argument, nullptr, SW_SHOWNORMAL);
    if (result > 32)
        return;
    if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND)
        showStringMessage(run->instance, IDS_NO_APPMGR, "Setup", MB_ICONSTOP);
    else
        showStringMessage(run->instance, IDS_APPMGR_FAILED, "Setup", MB_ICONSTOP);
}
