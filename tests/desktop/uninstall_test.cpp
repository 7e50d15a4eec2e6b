// Ferryclear's command line, the answer No, and the cases where it must
// change nothing.
#include "driver.h"

#include <gtest/gtest.h>

static const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

static std::string installedCopy(const std::string& name, const std::string& count) {
    std::string directory = freshFolder(name) + "\\App Dir";
    CreateDirectoryA(directory.c_str(), nullptr);
    writeFile(directory + "\\one.txt", "one");
    writeFile(directory + "\\Setup.ini", "[App]\r\nTitle=Kept\r\nVersion=3.1\r\n[Files]\r\nCount=" +
                                             count + "\r\nFile1=one.txt\r\nFile2=Setup.ini\r\n");
    setRegistryDefault(kUninstall + "\\Kept", "kept");
    return directory;
}

static void expectUntouched(const std::string& directory) {
    EXPECT_EQ(readFile(directory + "\\one.txt"), "one");
    EXPECT_TRUE(fileExists(directory + "\\Setup.ini"));
    EXPECT_TRUE(registryKeyExists(kUninstall + "\\Kept"));
}

// Unquoted program name, several blanks, and a directory with a blank inside.
TEST(Uninstall, AnsweringNoChangesNothing) {
    std::string directory = installedCopy("no-answer", "2");
    Child remove = startProgram(gFerryclear + "   " + directory, "");
    EXPECT_EQ(answerMessageBox(remove, "Uninstall", IDNO),
              "Are you sure you want to remove Kept 3.1?");
    EXPECT_EQ(waitExit(remove), 0);
    expectUntouched(directory);
    deleteRegistryTree(kUninstall + "\\Kept");
}

TEST(Uninstall, NoDirectoryRootOrDamagedScriptChangesNothing) {
    std::string uninstallSnapshot = registrySnapshot(kUninstall);
    for (const char* line : {"", "   ", " C:\\", " C:", " \\\\server\\share",
                             " \\\\?\\UNC\\server\\share", " \\\\?\\GLOBALROOT\\??\\C:\\"}) {
        Child remove = startProgram("\"" + gFerryclear + "\"" + line, "");
        EXPECT_NE(answerMessageBox(remove, "Uninstall", IDOK).find("Nothing was removed"),
                  std::string::npos)
            << "[" << line << "]";
        EXPECT_EQ(waitExit(remove), 0);
    }
    std::string directory = installedCopy("damaged", "65534");
    Child remove = startProgram("\"" + gFerryclear + "\" " + directory, "");
    EXPECT_NE(answerMessageBox(remove, "Uninstall", IDOK).find("damaged"), std::string::npos);
    EXPECT_EQ(waitExit(remove), 0);
    expectUntouched(directory);
    // "<dir>\..." would be the folder holding the installation directory.
    std::string parent = installedCopy("dots", "2");
    parent = parent.substr(0, parent.rfind('\\'));
    writeFile(parent + "\\one.txt", "parent's");
    writeFile(parent + "\\Setup.ini", readFile(parent + "\\App Dir\\Setup.ini"));
    for (const std::string& odd : {parent + "\\...", parent + "\\App Dir "}) {
        Child trimmed = startProgram("\"" + gFerryclear + "\" " + odd, "");
        EXPECT_NE(answerMessageBox(trimmed, "Uninstall", IDOK).find("dot or a blank"),
                  std::string::npos)
            << odd;
        EXPECT_EQ(waitExit(trimmed), 0);
    }
    EXPECT_EQ(readFile(parent + "\\one.txt"), "parent's");
    expectUntouched(parent + "\\App Dir");
    deleteRegistryTree(kUninstall + "\\Kept");
    EXPECT_EQ(registrySnapshot(kUninstall), uninstallSnapshot);
}

// The title in the installed script names the key to delete, but a key
// whose "UninstallString" would not start this very uninstall belongs to
// someone else and stays, value by value.
TEST(Uninstall, LeavesAnEntryThatDoesNotStartThisUninstall) {
    std::string key = kUninstall + "\\OtherProduct";
    std::string ours = "\"" + windowsDirectory() + "\\Ferryclear.exe\" ";
    for (const std::string& foreign :
         {std::string("\"C:\\Other\\remove.exe\" /x"), ours + "C:\\Other Place"}) {
        std::string directory = freshFolder("other-product") + "\\App";
        CreateDirectoryA(directory.c_str(), nullptr);
        writeFile(directory + "\\Setup.ini",
                  "[App]\r\nTitle=OtherProduct\r\n[Files]\r\nCount=1\r\nFile1=Setup.ini\r\n");
        deleteRegistryTree(key);
        setRegistryDefault(key, "theirs");
        HKEY handle;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &handle),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, "UninstallString", 0, REG_SZ, (const BYTE*)foreign.c_str(),
                       (DWORD)foreign.size() + 1);
        DWORD size = 42;
        RegSetValueExA(handle, "EstimatedSize", 0, REG_DWORD, (const BYTE*)&size, sizeof size);
        RegCloseKey(handle);
        std::string before = registrySnapshot(kUninstall);

        Child remove = startProgram("\"" + gFerryclear + "\" " + directory, "");
        answerMessageBox(remove, "Uninstall", IDYES);
        EXPECT_EQ(waitExit(remove), 0);
        EXPECT_FALSE(directoryExists(directory));
        EXPECT_EQ(registrySnapshot(kUninstall), before) << foreign;
        EXPECT_EQ(registryValue(key, "UninstallString"), foreign + '\0');
        EXPECT_EQ(registryValue(key, nullptr), std::string("theirs\0", 7));
        EXPECT_EQ(registryValue(key, "EstimatedSize"), std::string((const char*)&size, 4));
    }
    deleteRegistryTree(key);
}
