// Start-up and shutdown around the settings: a failed start changes nothing,
// the longest path comes back, and setting changes that are not the input
// panel's reach the default window procedure.
#include "program_support.h"

#include "pocketpc.h"
#include "program.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

namespace {

struct StartupTest : ::testing::Test {
    void SetUp() override { clearSettings(); }
    void TearDown() override { clearSettings(); }
};

} // namespace

static HHOOK gRefuseHook = nullptr;

// Refuses to make tree views, as when their class is unavailable.
static LRESULT CALLBACK refuseTreeViews(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t name[64] = {};
        GetClassNameW((HWND)wParam, name, 64);
        if (wcsstr(name, WC_TREEVIEWW))
            return 1;
    }
    return CallNextHookEx(gRefuseHook, code, wParam, lParam);
}

static void withoutTreeViews() {
    gRefuseHook = SetWindowsHookExW(WH_CBT, refuseTreeViews, nullptr, GetCurrentThreadId());
}

TEST_F(StartupTest, AFailedStartChangesNoSettingsAndLeavesNoQuit) {
    std::wstring mine = tempPath(L"twigmark-mine.twk");
    DWORD hide = 1;
    setSettings(&mine, &hide);
    {
        Session session(L"", withoutTreeViews);
        UnhookWindowsHookEx(gRefuseHook);
        EXPECT_FALSE(session.started);
        EXPECT_TRUE(session.boxes.empty());
    }
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(readDefFile(), mine);
    bool present = false;
    EXPECT_EQ(readHideEdit(&present), 1u);
    EXPECT_TRUE(present);
    // The next start opens the user's file again.
    Session session(L"");
    ASSERT_TRUE(session.started);
    EXPECT_EQ(std::wstring(gProgram.notePath), mine);
    ASSERT_TRUE(session.close());
    DeleteFileW(mine.c_str());
}

// A stored path of 258 and 259 characters comes back whole; 260 does not fit
// a path and gives the default.
TEST_F(StartupTest, TheLongestPathIsReadBack) {
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, TRUE));
    std::wstring fallback = std::wstring(folder) + L"\\Note Tree.twk";
    for (size_t length : {258u, 259u, 260u}) {
        SCOPED_TRACE(length);
        std::wstring path = tempPath(L"");
        path.append(length - path.size() - 4, L'p');
        path += L".twk";
        ASSERT_EQ(path.size(), length);
        setSettings(&path, nullptr);
        std::wstring expected = length < 260 ? path : fallback;
        {
            Session session(L"");
            ASSERT_TRUE(session.started);
            EXPECT_EQ(std::wstring(gProgram.notePath), expected);
            ASSERT_TRUE(session.close());
            EXPECT_TRUE(session.boxes.empty());
        }
        EXPECT_EQ(readDefFile(), expected);
        DeleteFileW(expected.c_str());
    }
}

// The default window procedure as this program imports it, replaced for a
// moment by one that notes which setting changes reach it.
typedef LRESULT(WINAPI* WindowProc)(HWND, UINT, WPARAM, LPARAM);
static WindowProc gRealDefault = nullptr;
static std::vector<WPARAM> gChangesSeen;

static LRESULT WINAPI noteSettingChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTINGCHANGE && window == gProgram.mainWindow)
        gChangesSeen.push_back(wParam);
    return gRealDefault(window, message, wParam, lParam);
}

static void** importSlot(const char* dll, const char* function) {
    BYTE* base = (BYTE*)GetModuleHandleW(nullptr);
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress);
         d->Name; ++d) {
        if (lstrcmpiA((const char*)(base + d->Name), dll) != 0)
            continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, function) == 0)
                return (void**)&slots->u1.Function;
        }
    }
    return nullptr;
}

static void putImport(void** slot, void* function) {
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = function;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

TEST_F(StartupTest, OtherSettingChangesReachTheDefaultProcedure) {
    std::wstring notes = tempPath(L"twigmark-test.twk");
    Session session(notes);
    ASSERT_TRUE(session.started);
    void** slot = importSlot("user32.dll", "DefWindowProcW");
    ASSERT_TRUE(slot);
    gRealDefault = (WindowProc)*slot;
    gChangesSeen.clear();
    putImport(slot, (void*)noteSettingChanges);
    SendMessageW(gProgram.mainWindow, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    SendMessageW(gProgram.mainWindow, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    putImport(slot, (void*)gRealDefault);
    // The input panel's change is the layout's own.
    EXPECT_EQ(gChangesSeen, std::vector<WPARAM>({SPI_SETWORKAREA}));
    ASSERT_TRUE(session.close());
    DeleteFileW(notes.c_str());
}
