// Ferryclear's command line, the answer No, and the cases where it must
// change nothing.
#include "driver.h"

#include <gtest/gtest.h>

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string installedCopy(const std::string& name, const std::string& count) {
    std::string directory = freshFolder(name) + "\\App Dir";
    CreateDirectoryA(directory.c_str(), nullptr);
    writeFile(directory + "\\one.txt", "one");
    writeFile(directory + "\\Setup.ini", "[App]\r\nTitle=Kept\r\nVersion=3.1\r\n[Files]\r\nCount=" +
                                             count + "\r\nFile1=one.txt\r\nFile2=Setup.ini\r\n");
    setRegistryDefault(kUninstall + "\\Kept", "kept");
    return directory;
}

void expectUntouched(const std::string& directory) {
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
    for (const char* line : {"", "   ", " C:\\", " C:", " \\\\server\\share"}) {
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
    deleteRegistryTree(kUninstall + "\\Kept");
    EXPECT_EQ(registrySnapshot(kUninstall), uninstallSnapshot);
}

} // namespace
