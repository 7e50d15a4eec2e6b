// Links inside the installation directory that lead elsewhere: neither
// program copies or deletes through one. Under Wine the links are Unix
// symbolic links; a folder link shows as a reparse point, a file link only
// through the path its handle resolves to.
#include "driver.h"

#include <gtest/gtest.h>

static const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The installation directory the user chose is itself a link, which both
// programs follow; inside it, links to another folder, a link to a file that
// is not there yet, and a second name of a file elsewhere.
TEST(Links, NoCopyOrDeletionGoesThroughALink) {
    std::string base = freshFolder("links");
    std::string other = base + "\\other";
    std::string real = base + "\\real";
    std::string chosen = base + "\\chosen";
    CreateDirectoryA(other.c_str(), nullptr);
    CreateDirectoryA(real.c_str(), nullptr);
    for (const char* name : {"readme.txt", "target.txt", "hard.txt", "new.txt"})
        writeFile(other + "\\" + name, "theirs");
    ASSERT_TRUE(makeLink(chosen, real));
    ASSERT_TRUE(makeLink(real + "\\help", other));
    ASSERT_TRUE(makeLink(real + "\\linked.txt", other + "\\target.txt"));
    ASSERT_TRUE(makeLink(real + "\\dangling.txt", other + "\\new.txt"));
    ASSERT_TRUE(makeLink(real + "\\hard.txt", other + "\\hard.txt", false));
    // A link that leads nowhere yet: a copy through it would create the file.
    ASSERT_TRUE(DeleteFileA((other + "\\new.txt").c_str()));

    std::string package = makePackage(
        "links-package",
        "[App]\r\nTitle=Linked\r\nVersion=1\r\n[Files]\r\nCount=6\r\nFile1=help\\readme.txt\r\n"
        "File2=linked.txt\r\nFile3=dangling.txt\r\nFile4=hard.txt\r\nFile5=plain.txt\r\n"
        "File6=Setup.ini\r\n");
    CreateDirectoryA((package + "\\help").c_str(), nullptr);
    for (const char* name : {"help\\readme.txt", "linked.txt", "dangling.txt", "hard.txt"})
        writeFile(package + "\\" + name, "ours");
    writeFile(package + "\\plain.txt", "plain");
    deleteRegistryTree(kAppMgrKey);
    deleteRegistryTree(kUninstall + "\\Linked");

    Child setup = startSetup(package);
    HWND dialog = chooseDirectory(setup, chosen);
    ASSERT_TRUE(dialog);
    for (const char* entry : {"help\\readme.txt", "linked.txt", "dangling.txt", "hard.txt"})
        EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find(std::string("\r\n") + entry),
                  std::string::npos)
            << entry;
    EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find("Application Manager is missing"),
              std::string::npos);
    EXPECT_EQ(waitExit(setup), 0);
    for (const char* name : {"readme.txt", "target.txt", "hard.txt"})
        EXPECT_EQ(readFile(other + "\\" + name), "theirs") << name;
    EXPECT_FALSE(fileExists(other + "\\new.txt"));
    EXPECT_EQ(readFile(real + "\\plain.txt"), "plain");
    EXPECT_TRUE(fileExists(real + "\\Setup.ini"));

    std::string command = registryValue(kUninstall + "\\Linked", "UninstallString");
    ASSERT_FALSE(command.empty());
    command.pop_back();
    Child remove = startProgram(command, "");
    EXPECT_EQ(answerMessageBox(remove, "Uninstall", IDYES),
              "Are you sure you want to remove Linked 1?");
    EXPECT_EQ(waitExit(remove), 0);
    for (const char* name : {"readme.txt", "target.txt", "hard.txt"})
        EXPECT_EQ(readFile(other + "\\" + name), "theirs") << name;
    EXPECT_FALSE(fileExists(real + "\\plain.txt"));
    EXPECT_FALSE(fileExists(real + "\\Setup.ini"));
    EXPECT_FALSE(registryKeyExists(kUninstall + "\\Linked"));
}
