// Helpers of the desktop tests: files, the registry, and Ferrywell and
// Ferryclear run as child processes whose dialogs the tests answer.
#pragma once

#include <string>
#include <windows.h>

// Windows paths of the programs under test, from the command line.
extern std::string gFerrywell;
extern std::string gFerryclear;
extern std::string gFakeAppMgr;
// The ready installation package the build made.
extern std::string gPackage;

extern const char kAppMgrKey[];

// A fresh, empty folder below the temporary folder.
std::string freshFolder(const std::string& name);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
std::string windowsDirectory();

// Raw bytes and type of a value below HKEY_LOCAL_MACHINE; empty when missing.
std::string registryValue(const std::string& key, const char* name, DWORD* type = nullptr);
bool registryKeyExists(const std::string& key);
void deleteRegistryTree(const std::string& key);
// Every subkey and value below the key, as text, to compare before and after.
std::string registrySnapshot(const std::string& key);
void setRegistryDefault(const std::string& key, const std::string& value);

// A Unix symbolic link (or, when symbolic is false, a second name) made on
// the Linux side, where Wine shows it as a link. The target must exist; false
// when the link could not be made.
bool makeLink(const std::string& link, const std::string& target, bool symbolic = true);

// A package folder with Ferrywell.exe, Ferryclear.exe and the given script.
std::string makePackage(const std::string& name, const std::string& script);

struct Child {
    PROCESS_INFORMATION info;
};
Child startProgram(const std::string& commandLine, const std::string& directory);
// The exit code, or -1 when the program did not end in time.
int waitExit(Child& child);

// The visible dialog of the child that holds the given control, or null after
// the time-out.
HWND waitForDialog(const Child& child, int controlId);
// The visible message box of the child, or null after the time-out.
HWND waitForMessageBox(const Child& child);
std::string windowText(HWND window);
std::string itemText(HWND dialog, int id);
void setItemText(HWND dialog, int id, const std::string& text);
void pressButton(HWND dialog, int id);
// The package's own Ferrywell.exe, started in the package folder as the user
// starts it.
Child startSetup(const std::string& package);
// Enters the directory in Ferrywell's directory dialog and presses OK; the
// dialog, or null when it did not come.
HWND chooseDirectory(const Child& setup, const std::string& directory);
// Waits for a message box, checks caption and text, and presses the button.
// The text of the box, for the caller's message on failure.
std::string answerMessageBox(const Child& child, const char* caption, int button);

// The output of Wine's own uninstaller --list.
std::string uninstallerList();
