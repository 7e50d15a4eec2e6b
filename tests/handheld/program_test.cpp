// The real main window under Wine: layout, views, settings, saving at close
// and the single instance.
#include "program_support.h"

#include "commands.h"
#include "notefile.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"
#include "treenode.h"

#include <commctrl.h>
#include <gtest/gtest.h>

static std::wstring gProgramExe;

namespace {

struct ProgramTest : NoteFileTest {
    ProgramTest() : NoteFileTest(L"twigmark-test.twk") {}
};

} // namespace

// Default View cases in one document: a child listed before its level-1
// parent, a level-3 item before its level-2 parent that itself comes before
// its level-1 parent, a hidden checked parent with an unchecked child.
static const std::vector<ItemSpec> kTricky = {
    {"Child first", 11, 10, 2, 1, 0, "", 0, 0, 0},    {"Deep", 22, 21, 3, 1, 0, "", 0, 0, 0},
    {"Middle", 21, 20, 2, 1, 0, "", 0, 0, 0},         {"Top", 20, 0, 1, 1, 0, "", 0, 0, 0},
    {"Parent", 10, 0, 1, 1, 0, "", 0, 0, 0},          {"Done", 30, 0, 1, 2, 0, "Work", 0, 0, 0},
    {"Under done", 31, 30, 2, 1, 0, "Work", 0, 0, 0}, {"Orphan", 40, 99, 2, 1, 0, "", 0, 0, 0},
};

TEST_F(ProgramTest, LayoutFollowsSipAndHiddenPane) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HWND main = gProgram.mainWindow;
    EXPECT_EQ(GetWindowLongW(gProgram.treeView, GWL_STYLE), 0x50800123);
    // The edit control draws its border itself and may drop WS_BORDER.
    EXPECT_EQ((GetWindowLongW(gProgram.notePane, GWL_STYLE) & ~WS_DISABLED) | WS_BORDER,
              0x50A00044);
    EXPECT_EQ(GetDlgCtrlID(gProgram.treeView), 101);
    EXPECT_EQ(GetDlgCtrlID(gProgram.notePane), 102);
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_CAPTION, 0);

    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 268);
    RECT tree = childRect(main, gProgram.treeView), pane = childRect(main, gProgram.notePane);
    EXPECT_EQ(tree.left, 2);
    EXPECT_EQ(tree.top, 2);
    EXPECT_EQ(tree.right - tree.left, 236);
    EXPECT_EQ(tree.bottom - tree.top, 157);
    EXPECT_EQ(pane.left, 2);
    EXPECT_EQ(pane.top, 161);
    EXPECT_EQ(pane.right - pane.left, 236);
    EXPECT_EQ(pane.bottom - pane.top, 105);

    // The SIP takes the menu bar's place and more: the layout follows it.
    SipShowIM(SIPF_ON);
    session.pump();
    SIPINFO sip = {};
    sip.cbSize = sizeof sip;
    ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0));
    GetClientRect(main, &client);
    int height = sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top;
    EXPECT_EQ(client.bottom, height);
    tree = childRect(main, gProgram.treeView);
    EXPECT_EQ(tree.bottom - tree.top, (height - 6) * 60 / 100);
    SipShowIM(SIPF_OFF);
    session.pump();

    SendMessageW(main, WM_COMMAND, IDM_HIDE_NOTE_WINDOW, 0);
    tree = childRect(main, gProgram.treeView);
    EXPECT_EQ(tree.right - tree.left, 236);
    EXPECT_EQ(tree.bottom - tree.top, 262);
    EXPECT_FALSE(IsWindowVisible(gProgram.notePane));
    SendMessageW(main, WM_COMMAND, IDM_HIDE_NOTE_WINDOW, 0);
    EXPECT_TRUE(IsWindowVisible(gProgram.notePane));
}

TEST_F(ProgramTest, RootIsSelectedAndExpanded) {
    {
        Session session(notes);
        ASSERT_TRUE(session.started);
        EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n");
        EXPECT_EQ(TreeView_GetSelection(gProgram.treeView), TreeView_GetRoot(gProgram.treeView));
        EXPECT_TRUE(session.boxes.empty());
    }
    writeDocument(notes, kTricky);
    Session session(notes);
    HTREEITEM root = TreeView_GetRoot(gProgram.treeView);
    EXPECT_EQ(TreeView_GetSelection(gProgram.treeView), root);
    EXPECT_TRUE(TreeView_GetItemState(gProgram.treeView, root, TVIS_EXPANDED) & TVIS_EXPANDED);
}

TEST_F(ProgramTest, DefaultViewPlacesItemsUnderTheirParents) {
    writeDocument(notes, kTricky);
    Session session(notes);
    ASSERT_TRUE(session.started);
    session.pump(); // check states must survive the message loop
    // Opening the root node at the end of the fill arranges the top level
    // (by name here); deeper levels keep list order until they are opened.
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n"
                                              "  [x]Done\n"
                                              "    Under done\n"
                                              "  Parent\n"
                                              "    Child first\n"
                                              "  Top\n"
                                              "    Middle\n"
                                              "      Deep\n");
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_HIDE_CHECKED, 0);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n"
                                              "  Parent\n"
                                              "    Child first\n"
                                              "  Top\n"
                                              "    Middle\n"
                                              "      Deep\n");
    HMENU view = menuBarPopup(IDM_VIEW);
    ASSERT_TRUE(view);
    EXPECT_TRUE(GetMenuState(view, IDM_HIDE_CHECKED, MF_BYCOMMAND) & MF_CHECKED);
    // Hidden in the Default View, but shown when grouped.
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_CATEGORY, 0);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n"
                                              "  *[No Category]\n"
                                              "    Child first\n"
                                              "    Deep\n"
                                              "    Middle\n"
                                              "    Orphan\n"
                                              "    Parent\n"
                                              "    Top\n"
                                              "  *Work\n"
                                              "    Under done\n");
    EXPECT_TRUE(GetMenuState(view, IDM_VIEW_CATEGORY, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(ProgramTest, CheckBoxesSurviveRefills) {
    writeDocument(notes, kTricky);
    Session session(notes);
    ASSERT_TRUE(session.started);
    // Tick "Top" in the tree: the next fill copies it into the item first.
    HTREEITEM top =
        findChildByLabel(gProgram.treeView, TreeView_GetRoot(gProgram.treeView), L"Top");
    TreeView_SetItemState(gProgram.treeView, top, INDEXTOSTATEIMAGEMASK(2), TVIS_STATEIMAGEMASK);
    session.pump();
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_PRIORITY, 0);
    session.pump();
    // The grouped fill shows the boxes too, a level deeper.
    std::string grouped = treeOutline(gProgram.treeView);
    EXPECT_NE(grouped.find("    [x]Top\n"), std::string::npos);
    EXPECT_NE(grouped.find("    [x]Done\n"), std::string::npos);
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_DEFAULT, 0);
    session.pump();
    EXPECT_NE(treeOutline(gProgram.treeView).find("  [x]Top\n"), std::string::npos);
    EXPECT_NE(treeOutline(gProgram.treeView).find("  [x]Done\n"), std::string::npos);
}

TEST_F(ProgramTest, GroupedViewsGroupByLabel) {
    writeDocument(notes, {
                             {"b task", 1, 0, 1, 1, 0, "", 2024, 3, 5},
                             {"A task", 2, 0, 1, 1, 9, "[No Category]", 0, 0, 0},
                             {"c task", 3, 1, 2, 1, 0, "Home", 2024, 3, 5},
                             {"B task", 4, 0, 1, 1, 0, "home", 0, 0, 0},
                         });
    Session session(notes);
    ASSERT_TRUE(session.started);
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_PRIORITY, 0);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n"
                                              "  *Priority 1\n"
                                              "    b task\n"
                                              "    B task\n"
                                              "    c task\n"
                                              "  *Priority 10\n"
                                              "    A task\n");
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_CATEGORY, 0);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n"
                                              "  *[No Category]\n"
                                              "    A task\n"
                                              "    b task\n"
                                              "  *Home\n"
                                              "    c task\n"
                                              "  *home\n"
                                              "    B task\n");
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_DATE, 0);
    SYSTEMTIME day = {};
    day.wYear = 2024;
    day.wMonth = 3;
    day.wDay = 5;
    wchar_t label[32];
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, label, 32), 0);
    char narrow[64];
    WideCharToMultiByte(CP_UTF8, 0, label, -1, narrow, sizeof narrow, nullptr, nullptr);
    std::string dated = std::string("  *") + narrow + "\n    b task\n    c task\n";
    std::string undated = "  *[No Due/Task Date]\n    A task\n    B task\n";
    std::string outline = treeOutline(gProgram.treeView);
    EXPECT_TRUE(outline == "*Note Tree\n" + dated + undated ||
                outline == "*Note Tree\n" + undated + dated)
        << outline;
    HTREEITEM group = TreeView_GetChild(gProgram.treeView, TreeView_GetRoot(gProgram.treeView));
    NodeFacts shown;
    EXPECT_TRUE(readNode(gProgram.treeView, group, TVIF_IMAGE, &shown));
    EXPECT_EQ(shown.image, 2);
}

TEST_F(ProgramTest, MenuMarksFollowTheLoadedFileAndDamagedOptionsAreHarmless) {
    FileOptions options;
    options.viewMode = 3;
    options.hideChecked = 1;
    options.ascending = 0;
    options.arrangeKey = 2;
    writeDocument(notes, {{"One", 1, 0, 1, 1, 4, "", 0, 0, 0}}, options);
    {
        Session session(notes);
        ASSERT_TRUE(session.started);
        HMENU view = menuBarPopup(IDM_VIEW);
        ASSERT_TRUE(view);
        HMENU arrange = GetSubMenu(view, VIEW_MENU_ARRANGE_POSITION);
        ASSERT_TRUE(arrange);
        EXPECT_TRUE(GetMenuState(view, IDM_VIEW_PRIORITY, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_FALSE(GetMenuState(view, IDM_VIEW_DEFAULT, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_TRUE(GetMenuState(view, IDM_HIDE_CHECKED, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_TRUE(GetMenuState(arrange, IDM_DESCENDING, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_FALSE(GetMenuState(arrange, IDM_ASCENDING, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_TRUE(GetMenuState(arrange, IDM_ARRANGE_FIRST + 2, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n  *Priority 5\n    One\n");
        ASSERT_TRUE(session.close());
    }
    options.viewMode = 7;
    options.arrangeKey = 9;
    writeDocument(notes, {{"One", 1, 0, 1, 1, 4, "", 0, 0, 0}}, options);
    Session session(notes);
    ASSERT_TRUE(session.started);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n");
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_DEFAULT, 0);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n  One\n");
    EXPECT_TRUE(session.boxes.empty());
}

// A crafted file may nest thousands of levels deep: the tree control then
// recurses once per level as it empties itself on a refill and at exit.
TEST_F(ProgramTest, VeryDeepNestingSurvivesRefillAndClose) {
    std::vector<ItemSpec> chain;
    for (uint32_t i = 1; i <= 30000; ++i)
        chain.push_back({"n", i, i - 1, i, 1, 0, "", 0, 0, 0});
    writeDocument(notes, chain);
    Session session(notes);
    ASSERT_TRUE(session.started);
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_PRIORITY, 0);
    SendMessageW(gProgram.mainWindow, WM_COMMAND, IDM_VIEW_DEFAULT, 0);
    session.pump();
    EXPECT_TRUE(session.close());
    EXPECT_EQ(fileBytes(notes).size(), 156u + 30000u * 380u);
}

TEST_F(ProgramTest, CloseSavesTheDocumentWithTheCheckBoxes) {
    writeDocument(notes, kTricky);
    std::vector<char> before = fileBytes(notes);
    {
        Session session(notes);
        ASSERT_TRUE(session.started);
        ASSERT_TRUE(session.close());
        EXPECT_TRUE(session.boxes.empty());
    }
    EXPECT_EQ(fileBytes(notes), before);
    {
        Session session(notes);
        HTREEITEM top =
            findChildByLabel(gProgram.treeView, TreeView_GetRoot(gProgram.treeView), L"Top");
        TreeView_SetItemState(gProgram.treeView, top, INDEXTOSTATEIMAGEMASK(2),
                              TVIS_STATEIMAGEMASK);
        ASSERT_TRUE(session.close());
    }
    std::vector<char> after = fileBytes(notes);
    ASSERT_EQ(after.size(), before.size());
    // "Top" is the fourth record: its check state word sits at offset 210.
    size_t offset = kHeaderSize + 3 * (kPersistentSize + 4) + 210;
    EXPECT_EQ(after[offset], 2);
    after[offset] = before[offset];
    EXPECT_EQ(after, before);
}

TEST_F(ProgramTest, FailedLoadAndFailedSaveAreToldOnce) {
    std::wstring folder = tempPath(L"twigmark-no-such-folder");
    RemoveDirectoryW(folder.c_str());
    std::wstring missing = folder + L"\\notes.twk";
    Session session(missing);
    ASSERT_TRUE(session.started);
    ASSERT_EQ(session.boxes.size(), 1u);
    EXPECT_EQ(session.boxes[0].text, L"Unable to load data!");
    EXPECT_EQ(session.boxes[0].caption, L"Twigmark");
    EXPECT_TRUE(session.boxes[0].stopIcon);
    EXPECT_TRUE(session.boxes[0].owned);
    EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n");
    // A file never read is written only after a change (unreachable_test.cpp).
    gProgram.documentChanged = 1;
    ASSERT_TRUE(session.close());
    ASSERT_EQ(session.boxes.size(), 2u);
    EXPECT_EQ(session.boxes[1].text, L"Unable to save data!");
    EXPECT_EQ(session.boxes[1].caption, L"Twigmark");
    EXPECT_TRUE(session.boxes[1].stopIcon);
    EXPECT_FALSE(session.boxes[1].owned);
    EXPECT_FALSE(IsWindow(gProgram.mainWindow));
}

// A disk that fills up during the save: the storage notice, then the save
// failure, and the file on disk stays as it was.
static int diskFullWrite(FileHandle*, const void*, size_t) {
    SetLastError(ERROR_DISK_FULL);
    return 0;
}

TEST_F(ProgramTest, FullStorageAtCloseIsToldAndTheFileStays) {
    writeDocument(notes, kTricky);
    std::vector<char> before = fileBytes(notes);
    Session session(notes);
    ASSERT_TRUE(session.started);
    FileOps full = *platformFileOps();
    full.write = diskFullWrite;
    setFileOps(&full);
    bool closed = session.close();
    setFileOps(nullptr);
    ASSERT_TRUE(closed);
    ASSERT_EQ(session.boxes.size(), 2u);
    EXPECT_EQ(session.boxes[0].text, L"Storage is full.  Please free up some memory and try agin.");
    EXPECT_EQ(session.boxes[0].caption, L"Twigmark");
    EXPECT_TRUE(session.boxes[0].stopIcon);
    EXPECT_FALSE(session.boxes[0].owned);
    EXPECT_EQ(session.boxes[1].text, L"Unable to save data!");
    EXPECT_EQ(fileBytes(notes), before);
}

TEST_F(ProgramTest, SettingsRoundTrip) {
    // No settings: the documents folder's "Note Tree.twk", created empty.
    {
        Session session(L"");
        ASSERT_TRUE(session.started);
        std::wstring expected;
        wchar_t folder[MAX_PATH];
        ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, TRUE));
        expected = std::wstring(folder) + L"\\Note Tree.twk";
        EXPECT_EQ(std::wstring(gProgram.notePath), expected);
        EXPECT_TRUE(IsWindowVisible(gProgram.notePane));
        ASSERT_TRUE(session.close());
        EXPECT_EQ(readDefFile(), expected);
        bool present;
        EXPECT_EQ(readHideEdit(&present), 0u);
        EXPECT_TRUE(present);
        DeleteFileW(expected.c_str());
    }
    // A 200-character path and a hidden pane come back whole.
    std::wstring longPath = tempPath(L"");
    while (longPath.size() < 195)
        longPath += L"n";
    longPath += L".twk";
    ASSERT_EQ(longPath.size(), 199u);
    longPath.insert(longPath.size() - 4, L"x");
    ASSERT_EQ(longPath.size(), 200u);
    DWORD hide = 1;
    setSettings(&longPath, &hide);
    {
        Session session(L"");
        ASSERT_TRUE(session.started);
        EXPECT_EQ(std::wstring(gProgram.notePath), longPath);
        EXPECT_FALSE(IsWindowVisible(gProgram.notePane));
        HMENU view = menuBarPopup(IDM_VIEW);
        ASSERT_TRUE(view);
        EXPECT_TRUE(GetMenuState(view, IDM_HIDE_NOTE_WINDOW, MF_BYCOMMAND) & MF_CHECKED);
        RECT tree = childRect(gProgram.mainWindow, gProgram.treeView);
        EXPECT_EQ(tree.bottom - tree.top, 262);
        ASSERT_TRUE(session.close());
    }
    EXPECT_EQ(readDefFile(), longPath);
    bool present;
    EXPECT_EQ(readHideEdit(&present), 1u);
    DeleteFileW(longPath.c_str());

    // A quoted command line replaces the stored path, without its quotes.
    writeDocument(notes, {{"One", 1, 0, 1, 1, 0, "", 0, 0, 0}});
    {
        Session session(L"\"" + notes + L"\"");
        ASSERT_TRUE(session.started);
        EXPECT_EQ(std::wstring(gProgram.notePath), notes);
        EXPECT_EQ(treeOutline(gProgram.treeView), "*Note Tree\n  One\n");
        ASSERT_TRUE(session.close());
    }
    EXPECT_EQ(readDefFile(), notes);
}

TEST_F(ProgramTest, HideEditOfAnotherSizeCountsAsShown) {
    clearSettings();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Twigmark", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    BYTE eight[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    RegSetValueExW(key, L"HideEdit", 0, REG_BINARY, eight, sizeof eight);
    RegSetValueExW(key, L"DefFile", 0, REG_SZ, (const BYTE*)notes.c_str(),
                   (DWORD)((notes.size() + 1) * 2));
    RegCloseKey(key);
    Session session(L"");
    ASSERT_TRUE(session.started);
    EXPECT_TRUE(IsWindowVisible(gProgram.notePane));
}

TEST_F(ProgramTest, AcceleratorGivesAboutAndCommandsAreRouted) {
    Session session(notes);
    ASSERT_TRUE(session.started);
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ASSERT_TRUE(table);
    ACCEL entries[8];
    int count = CopyAcceleratorTableW(table, entries, 8);
    bool found = false;
    for (int i = 0; i < count; ++i)
        if (entries[i].key == 'A' && (entries[i].fVirt & FCONTROL) && entries[i].cmd == IDM_ABOUT)
            found = true;
    EXPECT_TRUE(found);
    EXPECT_TRUE(onCommand(gProgram.mainWindow, IDM_ABOUT));
    EXPECT_FALSE(onCommand(gProgram.mainWindow, 12345));
    // WM_HIBERNATE discards the search and grays "Find Again".
    SendMessageW(gProgram.mainWindow, WM_HIBERNATE, 0, 0);
    HMENU tools = menuBarPopup(IDM_TOOLS);
    ASSERT_TRUE(tools);
    EXPECT_TRUE(GetMenuState(tools, IDM_FIND_AGAIN, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(gProgram.itemMenu);
    EXPECT_EQ(GetMenuItemCount(gProgram.itemMenu), 7);
}

TEST_F(ProgramTest, SecondCopyBringsTheFirstForwardAndEnds) {
    if (gProgramExe.empty())
        GTEST_SKIP() << "no program given";
    Session session(notes);
    ASSERT_TRUE(session.started);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300,
                                 100, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    session.pump();
    std::wstring commandLine = L"\"" + gProgramExe + L"\" \"" + notes + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    DWORD until = GetTickCount() + 20000;
    while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && GetTickCount() < until) {
        MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 50, QS_ALLINPUT);
        session.pump();
    }
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    session.pump();
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(GetForegroundWindow(), gProgram.mainWindow);
    DestroyWindow(other);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        // A Unix path from the build: Wine sees it on drive Z:.
        std::string path = argv[1];
        std::wstring wide = L"Z:";
        for (char c : path)
            wide += c == '/' ? L'\\' : (wchar_t)c;
        gProgramExe = wide;
    }
    return RUN_ALL_TESTS();
}
