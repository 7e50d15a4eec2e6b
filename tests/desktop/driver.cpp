#include "driver.h"

#include <gtest/gtest.h>
#include <vector>

std::string gFerrywell;
std::string gFerryclear;
std::string gFakeAppMgr;
std::string gPackage;

const char kAppMgrKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAppMgr.exe";

static const DWORD kTimeoutMs = 20000;

// Wine's own export that names the Unix file behind a Windows path; null
// when not running under Wine.
typedef char*(CDECL* UnixFileNameFn)(const WCHAR* path);

static std::string unixPath(const std::string& path) {
    static UnixFileNameFn convert = (UnixFileNameFn)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!convert)
        return "";
    WCHAR wide[MAX_PATH * 2];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2))
        return "";
    char* unix = convert(wide);
    if (!unix)
        return "";
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// Starts a Linux program; Wine starts those too, but hands back no handle to
// wait on, so the caller watches for the program's effect.
static bool startUnix(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
    return true;
}

static bool nameExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static bool waitUntil(const std::string& path, bool present) {
    DWORD start = GetTickCount();
    while (nameExists(path) != present) {
        if (GetTickCount() - start > kTimeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

// Links are removed, never followed: through Wine a deletion would reach
// the file a link leads to.
static void removeTree(const std::string& path) {
    if (!nameExists(path))
        return;
    std::string unix = unixPath(path);
    if (unix.find("/twigmark-desktop/") != std::string::npos &&
        startUnix("/bin/rm -rf \"" + unix + "\"") && waitUntil(path, false))
        return;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryA(full.c_str());
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

namespace {

struct Search {
    DWORD processId;
    int controlId;
    HWND found;
};

} // namespace

static BOOL CALLBACK matchWindow(HWND window, LPARAM lParam) {
    Search* search = (Search*)lParam;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[32];
    if (processId != search->processId || !IsWindowVisible(window) ||
        !GetClassNameA(window, className, sizeof className) || strcmp(className, "#32770") ||
        !GetDlgItem(window, search->controlId))
        return TRUE;
    search->found = window;
    return FALSE;
}

// Linux paths from ctest become paths on Wine's Z: drive.
static std::string windowsPath(const char* path) {
    std::string out = path[0] == '/' ? std::string("Z:") + path : std::string(path);
    for (char& c : out)
        if (c == '/')
            c = '\\';
    return out;
}

std::string freshFolder(const std::string& name) {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    std::string path = std::string(base) + "twigmark-desktop\\";
    CreateDirectoryA(path.c_str(), nullptr);
    path += name;
    removeTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
}

std::string readFile(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool directoryExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string windowsDirectory() {
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string registryValue(const std::string& key, const char* name, DWORD* type) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "";
    char data[2048];
    DWORD size = sizeof data;
    DWORD valueType = 0;
    LONG result = RegQueryValueExA(handle, name, nullptr, &valueType, (BYTE*)data, &size);
    RegCloseKey(handle);
    if (type)
        *type = valueType;
    return result == ERROR_SUCCESS ? std::string(data, size) : std::string();
}

bool registryKeyExists(const std::string& key) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void deleteRegistryTree(const std::string& key) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

std::string registrySnapshot(const std::string& key) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "<missing>";
    std::string text;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        char data[2048];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, (BYTE*)data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        text += std::string(name) + "=" + std::to_string(type) + ":" + std::string(data, dataSize) +
                "\n";
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(handle, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.push_back(name);
    }
    RegCloseKey(handle);
    for (const std::string& name : subkeys)
        text += "[" + name + "]\n" + registrySnapshot(key + "\\" + name);
    return text;
}

void setRegistryDefault(const std::string& key, const std::string& value) {
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, nullptr, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(handle);
}

bool makeLink(const std::string& link, const std::string& target, bool symbolic) {
    std::string unixLink = unixPath(link);
    std::string unixTarget = unixPath(target);
    if (unixLink.empty() || unixTarget.empty())
        return false;
    return startUnix(std::string("/bin/ln ") + (symbolic ? "-s " : "") + "\"" + unixTarget +
                     "\" \"" + unixLink + "\"") &&
           waitUntil(link, true);
}

std::string makePackage(const std::string& name, const std::string& script) {
    std::string folder = freshFolder(name);
    CopyFileA(gFerrywell.c_str(), (folder + "\\Ferrywell.exe").c_str(), FALSE);
    CopyFileA(gFerryclear.c_str(), (folder + "\\Ferryclear.exe").c_str(), FALSE);
    writeFile(folder + "\\Setup.ini", script);
    return folder;
}

Child startProgram(const std::string& commandLine, const std::string& directory) {
    Child child = {};
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &child.info);
    EXPECT_TRUE(started) << commandLine << " error " << GetLastError();
    return child;
}

int waitExit(Child& child) {
    if (!child.info.hProcess)
        return -1;
    if (WaitForSingleObject(child.info.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(child.info.hProcess, 99);
        WaitForSingleObject(child.info.hProcess, kTimeoutMs);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(child.info.hProcess, &code);
    CloseHandle(child.info.hProcess);
    CloseHandle(child.info.hThread);
    child.info = {};
    return (int)code;
}

HWND waitForDialog(const Child& child, int controlId) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kTimeoutMs) {
        Search search = {child.info.dwProcessId, controlId, nullptr};
        EnumWindows(matchWindow, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (WaitForSingleObject(child.info.hProcess, 30) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

HWND waitForMessageBox(const Child& child) {
    return waitForDialog(child, 0xFFFF);
}

std::string windowText(HWND window) {
    char text[2048] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_BLOCK, kTimeoutMs,
                        &result);
    return text;
}

std::string itemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

void setItemText(HWND dialog, int id, const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_BLOCK,
                        kTimeoutMs, &result);
}

void pressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

Child startSetup(const std::string& package) {
    return startProgram("\"" + package + "\\Ferrywell.exe\"", package);
}

HWND chooseDirectory(const Child& setup, const std::string& directory) {
    HWND dialog = waitForDialog(setup, 103); // the directory's edit box
    if (!dialog)
        return nullptr;
    setItemText(dialog, 103, directory);
    pressButton(dialog, IDOK);
    return dialog;
}

std::string answerMessageBox(const Child& child, const char* caption, int button) {
    HWND box = waitForMessageBox(child);
    if (!box) {
        ADD_FAILURE() << "no message box with caption " << caption;
        return "";
    }
    EXPECT_EQ(windowText(box), caption);
    std::string text = itemText(box, 0xFFFF);
    pressButton(box, button);
    // The box is gone before the program goes on.
    DWORD start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < kTimeoutMs)
        Sleep(20);
    return text;
}

std::string uninstallerList() {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    HANDLE readEnd;
    HANDLE writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &security, 0))
        return "";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    char line[] = "uninstaller.exe --list";
    BOOL started =
        CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[1024];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        WaitForSingleObject(info.hProcess, kTimeoutMs);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(readEnd);
    return output;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 5) {
        fprintf(stderr, "usage: desktop_tests FERRYWELL FERRYCLEAR FAKE_APPMGR PACKAGE\n");
        return 2;
    }
    gFerrywell = windowsPath(argv[1]);
    gFerryclear = windowsPath(argv[2]);
    gFakeAppMgr = windowsPath(argv[3]);
    gPackage = windowsPath(argv[4]);
    return RUN_ALL_TESTS();
}
