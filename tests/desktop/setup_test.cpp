// Ferrywell's dialogs, edge cases and hostile scripts, run as a child process.
#include "driver.h"

#include <gtest/gtest.h>

static const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

static std::string script(const std::string& title, const std::string& files) {
    return "[App]\r\nTitle=" + title + "\r\nVersion=1.5\r\nAppMgrIni=App.ini\r\n[Files]\r\n" +
           files;
}

TEST(Setup, CancelEscapeAndCloseBoxInstallNothing) {
    std::string package = makePackage("cancel-package", script("Cancelled", "Count=0\r\n"));
    std::string target = freshFolder("cancel-target") + "\\never";
    deleteRegistryTree(kUninstall + "\\Cancelled");
    for (int way = 0; way < 3; ++way) {
        Child setup = startSetup(package);
        HWND dialog = waitForDialog(setup, 103);
        ASSERT_TRUE(dialog);
        setItemText(dialog, 103, target);
        if (way == 0)
            pressButton(dialog, IDCANCEL);
        else if (way == 1)
            PostMessageA(GetDlgItem(dialog, 103), WM_KEYDOWN, VK_ESCAPE, 0);
        else
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(waitExit(setup), 0) << "way " << way;
        EXPECT_FALSE(directoryExists(target)) << "way " << way;
        EXPECT_FALSE(registryKeyExists(kUninstall + "\\Cancelled")) << "way " << way;
    }
}

// A missing parent and a drive root keep the dialog open; an existing
// directory is taken as it is. With no entries the closing phases still run,
// and without the App Paths key the user hears of the missing manager.
TEST(Setup, DirectoryChecksThenEmptyInstallWithoutAppManager) {
    std::string package = makePackage("dir-package", script("Zero", "Count=0\r\n"));
    std::string base = freshFolder("dir-target");
    deleteRegistryTree(kAppMgrKey);
    deleteRegistryTree(kUninstall + "\\Zero");
    Child setup = startSetup(package);
    HWND dialog = chooseDirectory(setup, base + "\\missing\\child");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(answerMessageBox(setup, "Setup", IDOK), "Unable to create directory.");
    EXPECT_FALSE(directoryExists(base + "\\missing"));
    // Device paths name volumes and shares in forms a text check cannot see
    // through, so every one is refused like a root.
    for (const char* root :
         {"C:\\", "C:\\\\", "C:", "\\\\server\\share\\", "\\\\?\\UNC\\server\\share",
          "\\\\.\\UNC\\server\\share", "\\\\?\\GLOBALROOT\\??\\C:\\",
          "\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\"}) {
        setItemText(dialog, 103, root);
        pressButton(dialog, IDOK);
        EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find("drive or a network share"),
                  std::string::npos)
            << root;
    }
    // The system drops trailing dots and blanks: "...", for one, would be
    // the parent folder itself.
    for (const std::string& odd : {base + "\\...", base + "\\name.", base + "\\name "}) {
        setItemText(dialog, 103, odd);
        pressButton(dialog, IDOK);
        EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find("end in a dot or a blank"),
                  std::string::npos)
            << odd;
    }
    EXPECT_FALSE(directoryExists(base + "\\name"));
    EXPECT_TRUE(IsWindowVisible(dialog));
    setItemText(dialog, 103, base);
    pressButton(dialog, IDOK);
    EXPECT_EQ(answerMessageBox(setup, "Setup", IDOK),
              "Application Manager is missing.  Please make sure Microsoft ActiveSync is "
              "installed.");
    EXPECT_EQ(waitExit(setup), 0);
    EXPECT_EQ(registryValue(kUninstall + "\\Zero", "UninstallString"),
              "\"" + windowsDirectory() + "\\Ferryclear.exe\" " + base + '\0');
    deleteRegistryTree(kUninstall + "\\Zero");
}

// Count read as atol does, a gap in the numbering, a key past the count, a
// key with a leading zero, a title cut to 63 characters, a file replaced
// without asking, and an Application Manager that cannot be run.
TEST(Setup, ScriptEdgeCasesAndUnrunnableAppManager) {
    std::string title = std::string(60, 'T') + "0123456789";
    std::string cut = title.substr(0, 63);
    std::string package =
        makePackage("edge-package", script(title, "Count=3abc\r\nFile1=a.txt\r\nFile3=c.txt\r\n"
                                                  "File4=d.txt\r\nFile01=z.txt\r\n"));
    for (const char* name : {"a.txt", "c.txt", "d.txt", "z.txt"})
        writeFile(package + "\\" + name, std::string("new ") + name);
    std::string directory = freshFolder("edge-target");
    writeFile(directory + "\\a.txt", "old");
    std::string appMgr = freshFolder("edge-appmgr") + "\\manager.zzq";
    writeFile(appMgr, "not a program");
    setRegistryDefault(kAppMgrKey, appMgr);
    deleteRegistryTree(kUninstall + "\\" + cut);

    Child setup = startSetup(package);
    HWND dialog = waitForDialog(setup, 103);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(itemText(dialog, 103), windowsDirectory().substr(0, 2) + "\\Program Files\\" + cut);
    setItemText(dialog, 103, directory);
    pressButton(dialog, IDOK);
    EXPECT_EQ(answerMessageBox(setup, "Setup", IDOK), "Unable to execute Application Manager.");
    EXPECT_EQ(waitExit(setup), 0);
    EXPECT_EQ(readFile(directory + "\\a.txt"), "new a.txt");
    EXPECT_EQ(readFile(directory + "\\c.txt"), "new c.txt");
    EXPECT_FALSE(fileExists(directory + "\\d.txt"));
    EXPECT_FALSE(fileExists(directory + "\\z.txt"));
    EXPECT_EQ(registryValue(kUninstall + "\\" + cut, "DisplayName"), cut + " 1.5" + '\0');
    deleteRegistryTree(kUninstall + "\\" + cut);
    deleteRegistryTree(kAppMgrKey);
}

// Entries that climb out of the installation directory, name a drive or
// start at a root are skipped with a message; the rest is installed.
TEST(Setup, HostileEntriesNeverLeaveTheDirectory) {
    std::string base = freshFolder("hostile-setup");
    std::string outside = base + "\\outside.txt";
    writeFile(outside, "outside");
    std::string package = makePackage(
        "hostile-setup\\package",
        script("Hostile", "Count=6\r\nFile1=..\\outside.txt\r\nFile2=" + outside +
                              "\r\nFile3=\\outside.txt\r\nFile4=sub\\..\\..\\outside.txt\r\n"
                              "File5=ok.txt\r\nFile6=Setup.ini\r\n"));
    writeFile(package + "\\ok.txt", "ok");
    CreateDirectoryA((base + "\\deep").c_str(), nullptr);
    std::string directory = base + "\\deep\\install";
    setRegistryDefault(kAppMgrKey, base + "\\nowhere.exe");
    deleteRegistryTree(kUninstall + "\\Hostile");

    Child setup = startSetup(package);
    HWND dialog = chooseDirectory(setup, directory);
    ASSERT_TRUE(dialog);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find("outside the installation"),
                  std::string::npos);
    // The App Paths key names a program that is not there.
    EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find("Application Manager is missing"),
              std::string::npos);
    EXPECT_EQ(waitExit(setup), 0);
    EXPECT_EQ(readFile(directory + "\\ok.txt"), "ok");
    EXPECT_FALSE(fileExists(base + "\\deep\\outside.txt"));
    EXPECT_EQ(readFile(outside), "outside");

    // Ferryclear with a script rewritten to name files outside: they stay.
    writeFile(base + "\\deep\\keep.txt", "keep");
    writeFile(directory + "\\Setup.ini",
              script("Hostile", "Count=5\r\nFile1=..\\keep.txt\r\nFile2=" + outside +
                                    "\r\nFile3=\\outside.txt\r\nFile4=ok.txt\r\n"
                                    "File5=Setup.ini\r\n"));
    Child remove = startProgram("\"" + gFerryclear + "\" " + directory, "");
    EXPECT_EQ(answerMessageBox(remove, "Uninstall", IDYES),
              "Are you sure you want to remove Hostile 1.5?");
    EXPECT_EQ(waitExit(remove), 0);
    EXPECT_FALSE(directoryExists(directory));
    EXPECT_EQ(readFile(base + "\\deep\\keep.txt"), "keep");
    EXPECT_EQ(readFile(outside), "outside");
    EXPECT_FALSE(registryKeyExists(kUninstall + "\\Hostile"));
    deleteRegistryTree(kAppMgrKey);
}

// A script without a usable title or with a count beyond the progress bar is
// refused before anything is asked or written.
TEST(Setup, RefusesNamelessAndDamagedScripts) {
    struct Case {
        std::string script;
        const char* message;
    } cases[] = {
        {"[App]\r\nVersion=1.0\r\n[Files]\r\nCount=1\r\nFile1=Setup.ini\r\n", "no usable title"},
        {script("A\\B", "Count=0\r\n"), "no usable title"},
        {script("Huge", "Count=65534\r\n"), "file count is too large"},
        {script("...", "Count=0\r\n"), "no usable title"},
        {script("Notes.", "Count=0\r\n"), "no usable title"},
    };
    for (const Case& c : cases) {
        std::string package = makePackage("refuse-package", c.script);
        Child setup = startSetup(package);
        EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find(c.message), std::string::npos)
            << c.message;
        EXPECT_EQ(waitExit(setup), 0);
    }
    EXPECT_FALSE(registryKeyExists(kUninstall + "\\Huge"));
    EXPECT_FALSE(registryKeyExists(kUninstall + "\\A"));
}

// A relative directory is made full against the package folder and stored
// so; Ferryclear started elsewhere refuses the relative form it might be
// handed instead of deleting that folder's files of the same names.
TEST(Setup, RelativeDirectoryIsStoredAsAFullPath) {
    std::string package =
        makePackage("relative-package", script("Relative", "Count=1\r\nFile1=Setup.ini\r\n"));
    std::string elsewhere = freshFolder("relative-elsewhere");
    CreateDirectoryA((elsewhere + "\\relinst").c_str(), nullptr);
    writeFile(elsewhere + "\\relinst\\Setup.ini", readFile(package + "\\Setup.ini"));
    deleteRegistryTree(kAppMgrKey);
    deleteRegistryTree(kUninstall + "\\Relative");

    Child setup = startSetup(package);
    HWND dialog = chooseDirectory(setup, "relinst");
    ASSERT_TRUE(dialog);
    answerMessageBox(setup, "Setup", IDOK); // no Application Manager
    EXPECT_EQ(waitExit(setup), 0);
    EXPECT_TRUE(fileExists(package + "\\relinst\\Setup.ini"));
    EXPECT_EQ(registryValue(kUninstall + "\\Relative", "UninstallString"),
              "\"" + windowsDirectory() + "\\Ferryclear.exe\" " + package + "\\relinst" + '\0');

    for (const std::string& relative :
         {std::string("relinst"), elsewhere.substr(0, 2) + "relinst"}) {
        Child remove = startProgram("\"" + gFerryclear + "\" " + relative, elsewhere);
        EXPECT_NE(answerMessageBox(remove, "Uninstall", IDOK).find("not a full path"),
                  std::string::npos)
            << relative;
        EXPECT_EQ(waitExit(remove), 0);
    }
    EXPECT_TRUE(fileExists(elsewhere + "\\relinst\\Setup.ini"));
    EXPECT_TRUE(registryKeyExists(kUninstall + "\\Relative"));
    deleteRegistryTree(kUninstall + "\\Relative");
}

// Another program's entry of the same title is never written into; one that
// an earlier Ferrywell wrote is.
TEST(Setup, LeavesAnotherProgramsEntryAlone) {
    std::string package =
        makePackage("foreign-package", script("Foreign", "Count=1\r\nFile1=Setup.ini\r\n"));
    std::string directory = freshFolder("foreign-target");
    std::string key = kUninstall + "\\Foreign";
    deleteRegistryTree(key);
    setRegistryDefault(key, "theirs");
    HKEY handle;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &handle),
              ERROR_SUCCESS);
    const char other[] = "\"C:\\Other\\remove.exe\" /quiet";
    RegSetValueExA(handle, "UninstallString", 0, REG_SZ, (const BYTE*)other, sizeof other);
    RegSetValueExA(handle, "DisplayName", 0, REG_SZ, (const BYTE*)"Other 9", 8);
    RegCloseKey(handle);
    std::string before = registrySnapshot(kUninstall);
    deleteRegistryTree(kAppMgrKey);

    Child setup = startSetup(package);
    EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find("HKEY_LOCAL_MACHINE\\" + key),
              std::string::npos);
    EXPECT_EQ(waitExit(setup), 0);
    EXPECT_EQ(registrySnapshot(kUninstall), before);
    EXPECT_EQ(registryValue(key, "UninstallString"), std::string(other, sizeof other));
    EXPECT_EQ(registryValue(key, "DisplayName"), std::string("Other 9\0", 8));
    EXPECT_EQ(registryValue(key, nullptr), std::string("theirs\0", 7));

    // Written by Ferrywell, but for another installation: taken over, that
    // one could no longer be removed. Only this installation's own entry is
    // written again.
    std::string ferryclear = "\"" + windowsDirectory() + "\\Ferryclear.exe\" ";
    for (const std::string& earlier : {std::string("C:\\Old Place"), directory + "\\"}) {
        SCOPED_TRACE(earlier);
        bool ours = earlier != "C:\\Old Place";
        std::string value = ferryclear + earlier;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &handle),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, "UninstallString", 0, REG_SZ, (const BYTE*)value.c_str(),
                       (DWORD)value.size() + 1);
        RegCloseKey(handle);
        before = registrySnapshot(kUninstall);
        Child again = startSetup(package);
        HWND dialog = chooseDirectory(again, directory);
        ASSERT_TRUE(dialog);
        std::string told = answerMessageBox(again, "Setup", IDOK);
        EXPECT_EQ(waitExit(again), 0);
        if (!ours) {
            EXPECT_NE(told.find("HKEY_LOCAL_MACHINE\\" + key), std::string::npos) << told;
            EXPECT_EQ(registrySnapshot(kUninstall), before);
            EXPECT_FALSE(fileExists(directory + "\\Setup.ini")); // nothing installed
            continue;
        }
        EXPECT_NE(told.find("Application Manager is missing"), std::string::npos);
        EXPECT_EQ(registryValue(key, "UninstallString"), ferryclear + directory + '\0');
        EXPECT_EQ(registryValue(key, "DisplayName"), std::string("Foreign 1.5\0", 12));
    }
    deleteRegistryTree(key);
}

// The Application Manager file is handed to a program started elevated, so
// it obeys the rules of a listed file: nothing outside the directory, no
// link on the way. The user is told and the Application Manager not started.
TEST(Setup, AppMgrIniOutsideTheDirectoryIsRefused) {
    std::string directory = freshFolder("outside-target");
    std::string appMgr = freshFolder("outside-appmgr") + "\\CEAppMgr.exe";
    ASSERT_TRUE(CopyFileA(gFakeAppMgr.c_str(), appMgr.c_str(), FALSE));
    setRegistryDefault(kAppMgrKey, appMgr);
    for (const char* file : {"..\\outside.ini", "C:\\outside.ini", "\\outside.ini",
                             "sub\\..\\..\\outside.ini", "x.ini:stream", ""}) {
        SCOPED_TRACE(file);
        std::string package =
            makePackage("outside-package", std::string("[App]\r\nTitle=Outside\r\nAppMgrIni=") +
                                               file + "\r\n[Files]\r\nCount=0\r\n");
        deleteRegistryTree(kUninstall + "\\Outside");
        DeleteFileA((appMgr + ".arg").c_str());
        Child setup = startSetup(package);
        HWND dialog = chooseDirectory(setup, directory);
        ASSERT_TRUE(dialog);
        EXPECT_NE(answerMessageBox(setup, "Setup", IDOK).find("outside the installation"),
                  std::string::npos);
        EXPECT_EQ(waitExit(setup), 0);
        Sleep(200);
        EXPECT_FALSE(fileExists(appMgr + ".arg"));
    }
    deleteRegistryTree(kUninstall + "\\Outside");
}

// A quote in the Application Manager file would end the one argument and
// let the script add its own to a program started elevated.
TEST(Setup, QuoteInAppMgrIniIsNotPassedOn) {
    std::string package =
        makePackage("quote-package",
                    "[App]\r\nTitle=Quoted\r\nAppMgrIni=x.ini\" /extra \"C:\\elsewhere\\y.ini\r\n"
                    "[Files]\r\nCount=0\r\n");
    std::string directory = freshFolder("quote-target");
    std::string appMgr = freshFolder("quote-appmgr") + "\\CEAppMgr.exe";
    ASSERT_TRUE(CopyFileA(gFakeAppMgr.c_str(), appMgr.c_str(), FALSE));
    setRegistryDefault(kAppMgrKey, appMgr);
    deleteRegistryTree(kUninstall + "\\Quoted");

    Child setup = startSetup(package);
    HWND dialog = chooseDirectory(setup, directory);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(answerMessageBox(setup, "Setup", IDOK), "Unable to execute Application Manager.");
    EXPECT_EQ(waitExit(setup), 0);
    Sleep(500);
    EXPECT_FALSE(fileExists(appMgr + ".arg"));
    deleteRegistryTree(kUninstall + "\\Quoted");
    deleteRegistryTree(kAppMgrKey);
}
