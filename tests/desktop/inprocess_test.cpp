// The pieces that are watched from inside: the script reader, the path
// checks, Ferryclear's command line, the progress bar of both programs and
// the arguments Ferrywell gives the folder browser.
#include "driver.h"
#include "install.h"
#include "safepath.h"
#include "setupscript.h"

#include <limits.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <vector>

#include "uninstall.h"

static const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

TEST(SetupScript, ReadsValuesWithDefaultsAndCuts) {
    std::string folder = freshFolder("script");
    SetupScript script;
    ASSERT_TRUE(openScriptIn(&script, folder.c_str()));
    char title[kShortTextSize];
    char version[kShortTextSize];
    char text[kPathSize];
    readTitle(&script, title);
    readVersion(&script, version);
    readAppMgrIni(&script, text);
    EXPECT_STREQ(title, "");
    EXPECT_STREQ(version, "1.0");
    EXPECT_STREQ(text, "");
    EXPECT_EQ(readCount(&script), 0);

    std::string longTitle(70, 'x');
    writeFile(folder + "\\Setup.ini", "[app]\r\ntitle = " + longTitle +
                                          "\r\n[FILES]\r\nCount= 2\r\nFile1=a\r\nFile01=z\r\n");
    readTitle(&script, title);
    EXPECT_EQ(std::string(title), longTitle.substr(0, 63));
    EXPECT_EQ(readCount(&script), 2);
    readEntry(&script, 1, text);
    EXPECT_STREQ(text, "a");
    readEntry(&script, 2, text);
    EXPECT_STREQ(text, "");

    EXPECT_EQ(parseCount(" 2"), 2);
    EXPECT_EQ(parseCount("3abc"), 3);
    EXPECT_EQ(parseCount("-1"), -1);
    EXPECT_EQ(parseCount("x"), 0);
    EXPECT_EQ(parseCount("+7"), 7);
    EXPECT_EQ(parseCount("99999999999999999999"), LONG_MAX);

    std::string deep(250, 'd');
    EXPECT_FALSE(openScriptIn(&script, deep.c_str()));
}

TEST(SafePath, EntriesAndRoots) {
    for (const char* good : {"a.txt", "sub\\a.txt", "a..b", "...x"})
        EXPECT_TRUE(isSafeEntry(good)) << good;
    for (const char* bad : {"", "..", "..\\a", "a\\..\\..\\b", "sub/../../b", "\\a", "/a", "C:\\a",
                            "C:a", ".\\a", "\\\\server\\share\\a", "a.txt:stream"})
        EXPECT_FALSE(isSafeEntry(bad)) << bad;
    for (const char* root : {"", "C:\\", "C:", "d:/", "\\", "\\\\server\\share",
                             "\\\\server\\share\\", "C:\\x\\..", "\\\\?\\C:\\"})
        EXPECT_TRUE(isRootDirectory(root)) << root;
    for (const char* device : {"\\\\?\\UNC\\server\\share", "\\\\.\\UNC\\server\\share\\x",
                               "\\\\?\\GLOBALROOT\\??\\C:\\", "\\\\?\\Volume{0}\\", "//?/C:/Apps",
                               "\\\\.\\C:\\Apps", "\\??\\C:\\Apps", "C:\\Apps\\NUL"})
        EXPECT_TRUE(isRootDirectory(device)) << device;
    for (const char* folder : {"C:\\Apps", "\\\\server\\share\\apps", "C:\\x\\..\\y"})
        EXPECT_FALSE(isRootDirectory(folder)) << folder;
    for (const char* odd : {"C:\\x\\...", "C:\\x\\a.", "C:\\x\\a \\", "a ", ".", ".."})
        EXPECT_TRUE(endsInDotOrBlank(odd)) << odd;
    for (const char* plain : {"C:\\x.y\\a", "C:\\a b\\c\\", "", "C:\\"})
        EXPECT_FALSE(endsInDotOrBlank(plain)) << plain;
    for (const char* full : {"C:\\x", "d:/x", "\\\\server\\share\\x"})
        EXPECT_TRUE(isFullPath(full)) << full;
    for (const char* relative : {"x", "C:x", "\\x", "..\\x", "\\\\?\\C:\\x", ""})
        EXPECT_FALSE(isFullPath(relative)) << relative;
    char out[12];
    EXPECT_TRUE(joinPath(out, sizeof out, "C:\\ab", "cd.ef"));
    EXPECT_STREQ(out, "C:\\ab\\cd.ef");
    EXPECT_FALSE(joinPath(out, sizeof out, "C:\\ab", "cd.efg"));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(isUsableTitle(""));
    EXPECT_FALSE(isUsableTitle("a\\b"));
    for (const char* title : {".", "..", "...", " ", ". ", "Notes.", "Notes "})
        EXPECT_FALSE(isUsableTitle(title)) << "[" << title << "]";
    EXPECT_TRUE(isUsableTitle("Notes 2"));
    EXPECT_TRUE(isUsableTitle(".Notes"));
}

TEST(Uninstall, CommandLineForms) {
    EXPECT_STREQ(directoryArgument("\"C:\\W\\Ferryclear.exe\" C:\\Program Files\\Notes"),
                 "C:\\Program Files\\Notes");
    EXPECT_STREQ(directoryArgument("C:\\W\\Ferryclear.exe \t C:\\A B \"q\" "), "C:\\A B \"q\" ");
    EXPECT_STREQ(directoryArgument("\"C:\\W\\Ferry clear.exe\"C:\\D"), "C:\\D");
    EXPECT_STREQ(directoryArgument("\"C:\\W\\Ferryclear.exe"), "");
    EXPECT_STREQ(directoryArgument("Ferryclear.exe"), "");
    EXPECT_STREQ(directoryArgument(""), "");
}

namespace {

// What the progress bar and its label showed at each step.
struct Observed {
    int upper = -1;
    std::vector<std::pair<int, std::string>> steps;
};

} // namespace

static Observed gObserved;

static LRESULT CALLBACK watchProgress(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = (const CWPRETSTRUCT*)lParam;
    if (code == HC_ACTION && call->message == PBM_SETRANGE)
        gObserved.upper = HIWORD(call->lParam);
    if (code == HC_ACTION && call->message == PBM_STEPIT) {
        char label[64] = "";
        GetDlgItemTextA(GetParent(call->hwnd), 101, label, sizeof label);
        int position = (int)SendMessageA(call->hwnd, PBM_GETPOS, 0, 0);
        gObserved.steps.push_back({position, label});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static Observed watch(void (*work)(void*), void* data) {
    gObserved = Observed();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, watchProgress, nullptr, GetCurrentThreadId());
    work(data);
    UnhookWindowsHookEx(hook);
    return gObserved;
}

static void copyWork(void* run) {
    runCopyDialog((InstallRun*)run);
}
static void removeWork(void* run) {
    runRemoveDialog((UninstallRun*)run);
}

TEST(Progress, RangesOfBothProgramsForCountZeroAndThree) {
    for (int count : {0, 3}) {
        std::string files = "Count=" + std::to_string(count) + "\r\n";
        if (count == 3)
            files += "File1=a.txt\r\nFile2=missing.txt\r\nFile3=Setup.ini\r\n";
        std::string package = makePackage(
            "progress-package", "[App]\r\nTitle=Progress\r\nVersion=1\r\n[Files]\r\n" + files);
        writeFile(package + "\\a.txt", "a");
        std::string directory = freshFolder("progress-target");
        char previous[MAX_PATH];
        GetCurrentDirectoryA(sizeof previous, previous);
        SetCurrentDirectoryA(package.c_str());
        InstallRun install = {};
        install.instance = GetModuleHandleA(nullptr);
        openScriptHere(&install.script);
        strcpy(install.directory, directory.c_str());
        Observed copied = watch(copyWork, &install);
        SetCurrentDirectoryA(previous);

        EXPECT_EQ(copied.upper, count + 2);
        ASSERT_EQ(copied.steps.size(), (size_t)count + 2);
        for (int n = 0; n < count; ++n)
            EXPECT_EQ(copied.steps[n], std::make_pair(n + 1, std::string("Copying File:")));
        EXPECT_EQ(copied.steps[count],
                  std::make_pair(count + 1, std::string("Adding Uninstall Information...")));
        EXPECT_EQ(copied.steps[count + 1],
                  std::make_pair(count + 2, std::string("Updating Registry entries...")));
        EXPECT_TRUE(registryKeyExists(kUninstall + "\\Progress"));

        UninstallRun remove = {};
        remove.instance = GetModuleHandleA(nullptr);
        strcpy(remove.directory, directory.c_str());
        openScriptIn(&remove.script, remove.directory);
        Observed removed = watch(removeWork, &remove);
        EXPECT_EQ(removed.upper, count + 1);
        ASSERT_EQ(removed.steps.size(), (size_t)count + 1);
        for (int n = 0; n < count; ++n)
            EXPECT_EQ(removed.steps[n], std::make_pair(n + 1, std::string("Removing file:")));
        EXPECT_EQ(removed.steps[count],
                  std::make_pair(count + 1, std::string("Removing Registry entries...")));
        EXPECT_FALSE(directoryExists(directory));
        // With no entries the script stays in the package, so the entry is
        // only gone when the installed script named it.
        deleteRegistryTree(kUninstall + "\\Progress");
    }
}

// Answers the first message box of this thread from a thread timer, which
// fires inside the box's own loop.
static std::string gBoxText;

static BOOL CALLBACK findBox(HWND window, LPARAM lParam) {
    if (IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) {
        *(HWND*)lParam = window;
        return FALSE;
    }
    return TRUE;
}

static void CALLBACK answerBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBox, (LPARAM)&box);
    if (!box || !gBoxText.empty())
        return;
    char text[512];
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    gBoxText = text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// An entry of another program that appeared after the start is still left
// alone when the entry is written, and the user is told.
TEST(Progress, ForeignEntryMetWhenRegisteringIsLeftAlone) {
    std::string key = kUninstall + "\\Latecomer";
    std::string package =
        makePackage("late-package", "[App]\r\nTitle=Latecomer\r\n[Files]\r\nCount=0\r\n");
    deleteRegistryTree(key);
    setRegistryDefault(key, "theirs");
    std::string before = registrySnapshot(key);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(package.c_str());
    InstallRun run = {};
    run.instance = GetModuleHandleA(nullptr);
    openScriptHere(&run.script);
    strcpy(run.directory, freshFolder("late-target").c_str());
    gBoxText.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, answerBox);
    EXPECT_TRUE(runCopyDialog(&run));
    KillTimer(nullptr, timer);
    SetCurrentDirectoryA(previous);
    EXPECT_NE(gBoxText.find("HKEY_LOCAL_MACHINE\\" + key), std::string::npos) << gBoxText;
    EXPECT_EQ(registrySnapshot(key), before);
    deleteRegistryTree(key);
}

// The system's folder browser cannot be driven, so the test stands in for it
// and checks what the dialog asked of it.
static BROWSEINFOA gBrowseSeen;
static std::string gPrompt;
static std::string gBrowseAnswer;
static int gBrowseCalls;

static PIDLIST_ABSOLUTE WINAPI fakeBrowse(LPBROWSEINFOA info) {
    ++gBrowseCalls;
    gBrowseSeen = *info;
    gPrompt = info->lpszTitle ? info->lpszTitle : "";
    return gBrowseAnswer.empty() ? nullptr : ILCreateFromPathA(gBrowseAnswer.c_str());
}

namespace {

// Drives the dialog from a thread timer, which fires inside its modal loops.
struct Script {
    int stage = 0;
    std::string missing;
    std::vector<std::string> seen;
};

} // namespace

static Script gScript;

namespace {

struct FindThreadWindow {
    bool messageBox;
    HWND found;
};

} // namespace

static BOOL CALLBACK matchThreadWindow(HWND window, LPARAM lParam) {
    FindThreadWindow* find = (FindThreadWindow*)lParam;
    bool isBox = GetDlgItem(window, 0xFFFF) != nullptr;
    if (IsWindowVisible(window) && isBox == find->messageBox &&
        GetDlgItem(window, find->messageBox ? 0xFFFF : 103)) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND threadWindow(bool messageBox) {
    FindThreadWindow find = {messageBox, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), matchThreadWindow, (LPARAM)&find);
    return find.found;
}

static void CALLBACK driveDirectoryDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = threadWindow(false);
    HWND box = threadWindow(true);
    char text[MAX_PATH];
    switch (gScript.stage) {
    case 0: // cancelled browse: nothing changes
        if (!dialog)
            return;
        gBrowseAnswer.clear();
        SendMessageA(dialog, WM_COMMAND, 102, 0);
        GetDlgItemTextA(dialog, 103, text, sizeof text);
        gScript.seen.push_back(text);
        SetDlgItemTextA(dialog, 103, gScript.missing.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        gScript.stage = 1;
        return;
    case 1: // the failed creation is told, the dialog stays
        if (!box)
            return;
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        gScript.seen.push_back(text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        gScript.stage = 2;
        return;
    case 2: // a later browse still appends the title
        if (box || !dialog)
            return;
        gBrowseAnswer = windowsDirectory();
        SendMessageA(dialog, WM_COMMAND, 102, 0);
        GetDlgItemTextA(dialog, 103, text, sizeof text);
        gScript.seen.push_back(text);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        gScript.stage = 3;
        return;
    }
}

TEST(DirectoryDialog, BrowseArgumentsAndTitleAfterFailedCreation) {
    std::string package = makePackage("browse-package", "[App]\r\nTitle=Notes\r\n");
    gScript = Script();
    gScript.missing = freshFolder("browse-target") + "\\missing\\Notes";
    gBrowseCalls = 0;
    gBrowseForFolder = fakeBrowse;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(package.c_str());
    InstallRun run = {};
    run.instance = GetModuleHandleA(nullptr);
    UINT_PTR timer = SetTimer(nullptr, 0, 50, driveDirectoryDialog);
    EXPECT_EQ(runDirectoryDialog(&run), 0);
    KillTimer(nullptr, timer);
    SetCurrentDirectoryA(previous);
    gBrowseForFolder = SHBrowseForFolderA;

    EXPECT_EQ(gBrowseCalls, 2);
    EXPECT_NE(gBrowseSeen.hwndOwner, nullptr);
    EXPECT_EQ(gBrowseSeen.pidlRoot, nullptr);
    EXPECT_EQ(gBrowseSeen.ulFlags, (UINT)BIF_RETURNONLYFSDIRS);
    EXPECT_EQ(gBrowseSeen.lpfn, nullptr);
    EXPECT_EQ(gPrompt, "Select a directory to install:");
    ASSERT_EQ(gScript.seen.size(), 3u);
    EXPECT_EQ(gScript.seen[0], windowsDirectory().substr(0, 2) + "\\Program Files\\Notes");
    EXPECT_EQ(gScript.seen[1], "Unable to create directory.");
    EXPECT_EQ(gScript.seen[2], windowsDirectory() + "\\Notes");
}
