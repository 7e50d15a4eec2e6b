// A whole installation and its removal, from a package folder made here,
// with the real dialogs, files and registry.
#include "driver.h"

#include <gtest/gtest.h>

static const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

static std::string waitForFile(const std::string& path) {
    for (int i = 0; i < 200 && !fileExists(path); ++i)
        Sleep(50);
    Sleep(100);
    return readFile(path);
}

TEST(RoundTrip, InstallsRegistersLaunchesAndRemovesAgain) {
    std::string package = makePackage("rt-package", "[App]\r\nTitle=Notes\r\nVersion=2.0\r\n"
                                                    "AppMgrIni=Notes.ini\r\n[Files]\r\nCount=3\r\n"
                                                    "File1=notes.txt\r\nFile2=Notes.ini\r\n"
                                                    "File3=Setup.ini\r\n");
    writeFile(package + "\\notes.txt", "hello\r\n");
    writeFile(package + "\\Notes.ini", "[CEAppManager]\r\n");
    std::string appMgr = freshFolder("rt-appmgr") + "\\CEAppMgr.exe";
    ASSERT_TRUE(CopyFileA(gFakeAppMgr.c_str(), appMgr.c_str(), FALSE));
    setRegistryDefault(kAppMgrKey, appMgr);
    std::string entryKey = kUninstall + "\\Notes";
    deleteRegistryTree(entryKey);
    deleteRegistryTree(kUninstall + "\\Sibling");
    setRegistryDefault(kUninstall + "\\Sibling", "sibling value");
    setRegistryDefault(kUninstall + "\\Sibling\\Inner", "inner value");
    std::string before = registrySnapshot(kUninstall);
    std::string uninstaller = windowsDirectory() + "\\Ferryclear.exe";
    DeleteFileA(uninstaller.c_str());

    // The blank inside the directory travels unquoted in the uninstall entry.
    std::string directory = freshFolder("rt-install") + "\\Program Notes";
    Child setup = startSetup(package);
    HWND dialog = waitForDialog(setup, 103);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(windowText(dialog), "Setup");
    EXPECT_EQ(itemText(dialog, 103), windowsDirectory().substr(0, 2) + "\\Program Files\\Notes");
    EXPECT_EQ(itemText(dialog, 101).rfind("Welcome to Notes Version 2.0 Setup.  Setup will", 0),
              0u);
    setItemText(dialog, 103, directory + "\\");
    pressButton(dialog, IDOK);
    EXPECT_EQ(waitExit(setup), 0);

    EXPECT_EQ(readFile(directory + "\\notes.txt"), "hello\r\n");
    EXPECT_EQ(readFile(directory + "\\Notes.ini"), "[CEAppManager]\r\n");
    EXPECT_EQ(readFile(directory + "\\Setup.ini"), readFile(package + "\\Setup.ini"));
    EXPECT_EQ(readFile(uninstaller), readFile(gFerryclear));
    DWORD type = 0;
    EXPECT_EQ(registryValue(entryKey, "DisplayName", &type), std::string("Notes 2.0\0", 10));
    EXPECT_EQ(type, (DWORD)REG_SZ);
    std::string command = "\"" + uninstaller + "\" " + directory;
    EXPECT_EQ(registryValue(entryKey, "UninstallString", &type), command + '\0');
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(waitForFile(appMgr + ".arg"), "\"" + directory + "\\Notes.ini\"");
    EXPECT_NE(uninstallerList().find("Notes 2.0"), std::string::npos);

    writeFile(directory + "\\mine.txt", "the user's own");
    Child remove = startProgram(command, "");
    EXPECT_EQ(answerMessageBox(remove, "Uninstall", IDYES),
              "Are you sure you want to remove Notes 2.0?");
    EXPECT_EQ(waitExit(remove), 0);
    EXPECT_FALSE(fileExists(directory + "\\notes.txt"));
    EXPECT_FALSE(fileExists(directory + "\\Notes.ini"));
    EXPECT_FALSE(fileExists(directory + "\\Setup.ini"));
    EXPECT_EQ(readFile(directory + "\\mine.txt"), "the user's own");
    EXPECT_FALSE(registryKeyExists(entryKey));
    EXPECT_EQ(registrySnapshot(kUninstall), before);
    EXPECT_TRUE(fileExists(uninstaller));
    EXPECT_EQ(uninstallerList().find("Notes 2.0"), std::string::npos);

    // Run again without its script: the title is empty, so no key is
    // touched, and the directory, empty now, goes.
    DeleteFileA((directory + "\\mine.txt").c_str());
    Child again = startProgram(command, "");
    EXPECT_EQ(answerMessageBox(again, "Uninstall", IDYES), "Are you sure you want to remove  1.0?");
    EXPECT_EQ(waitExit(again), 0);
    EXPECT_FALSE(directoryExists(directory));
    EXPECT_EQ(registrySnapshot(kUninstall), before);
    deleteRegistryTree(kUninstall + "\\Sibling");
    deleteRegistryTree(kAppMgrKey);
}
