// Starting other programs without waiting for them. The device's help viewer
// is replaced by the desktop's viewer for the help file.
#include "device.h"

#include <shellapi.h>

namespace {

enum { kAddressChars = MAX_PATH + 64 };

} // namespace

static BOOL endsWithHtm(LPCWSTR text, int length) {
    return length >= 4 && !lstrcmpiW(text + length - 4, L".htm");
}

BOOL helpAddress(LPCWSTR programFolder, LPCWSTR commandLine, LPWSTR address, int addressChars) {
    if (!programFolder || !commandLine || !address || addressChars <= 0)
        return FALSE;
    WCHAR file[MAX_PATH];
    int fileLength = 0;
    while (commandLine[fileLength] && commandLine[fileLength] != L'#') {
        if (fileLength + 1 >= MAX_PATH)
            return FALSE;
        file[fileLength] = commandLine[fileLength];
        fileLength++;
    }
    file[fileLength] = 0;
    LPCWSTR topic = commandLine + fileLength; // "" or "#topic"
    if (!endsWithHtm(file, fileLength) || wcschr(file, L'\\') || wcschr(file, L'/') ||
        wcschr(file, L':'))
        return FALSE;
    int needed =
        lstrlenW(L"file:///") + lstrlenW(programFolder) + 1 + fileLength + lstrlenW(topic) + 1;
    if (needed > addressChars)
        return FALSE;
    lstrcpyW(address, L"file:///");
    lstrcatW(address, programFolder);
    for (WCHAR* c = address; *c; c++) {
        if (*c == L'\\')
            *c = L'/';
    }
    lstrcatW(address, L"/");
    lstrcatW(address, file);
    lstrcatW(address, topic);
    return TRUE;
}

static BOOL programFolder(LPWSTR folder, DWORD chars) {
    DWORD length = GetModuleFileNameW(NULL, folder, chars);
    if (length == 0 || length >= chars)
        return FALSE;
    WCHAR* slash = wcsrchr(folder, L'\\');
    if (!slash)
        return FALSE;
    *slash = 0;
    return TRUE;
}

static BOOL openHelp(LPCWSTR commandLine) {
    WCHAR folder[MAX_PATH];
    WCHAR address[kAddressChars];
    if (!programFolder(folder, MAX_PATH) ||
        !helpAddress(folder, commandLine, address, kAddressChars))
        return FALSE;
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_ASYNCOK;
    run.lpVerb = L"open";
    run.lpFile = address;
    run.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&run);
}

BOOL launchProgram(LPCWSTR imageName, LPCWSTR commandLine) {
    if (!imageName)
        return FALSE;
    if (!lstrcmpiW(imageName, L"peghelp.exe") || !lstrcmpiW(imageName, L"\\Windows\\peghelp.exe"))
        return openHelp(commandLine ? commandLine : L"");
    WCHAR line[MAX_PATH * 2];
    int needed = lstrlenW(imageName) + 3 + (commandLine ? lstrlenW(commandLine) + 1 : 0);
    if (needed > MAX_PATH * 2)
        return FALSE;
    lstrcpyW(line, L"\"");
    lstrcatW(line, imageName);
    lstrcatW(line, L"\"");
    if (commandLine) {
        lstrcatW(line, L" ");
        lstrcatW(line, commandLine);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return FALSE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}
