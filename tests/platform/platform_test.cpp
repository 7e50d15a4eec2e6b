// The Pocket PC layer with real windows under Wine: a host window plays the
// application's main window.
#include "device.h"

#include <gtest/gtest.h>
#include <vector>

static const int kTestBar = 200;
static const int kTestDialog = 300;

namespace {

struct HostRecord {
    int settingChanges;
    int lastCommand;
    int gestures;
    NMRGINFO lastGesture;
    SHMENUBARINFO bar;
    BOOL barMade;
    int barId;
};

} // namespace

static HostRecord gHost;

static void pump(DWORD milliseconds, const int* until = nullptr, int untilValue = 0) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (until && *until >= untilValue)
            return;
        MSG msg;
        if (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        }
    }
}

static LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (gHost.barId) {
            gHost.bar = {};
            gHost.bar.cbSize = sizeof(SHMENUBARINFO);
            gHost.bar.hwndParent = window;
            gHost.bar.nToolBarId = gHost.barId;
            gHost.bar.hInstRes = GetModuleHandleW(NULL);
            gHost.barMade = SHCreateMenuBar(&gHost.bar);
        }
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETSIPINFO)
            gHost.settingChanges++;
        return 0;
    case WM_COMMAND:
        gHost.lastCommand = LOWORD(wParam);
        return 0;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == GN_CONTEXTMENU) {
            gHost.lastGesture = *(NMRGINFO*)lParam;
            gHost.gestures++;
            // The stylus comes up again; the tree view is still waiting for it.
            PostMessageW(gHost.lastGesture.hdr.hwndFrom, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

namespace {

class PocketPcTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SHInitExtraControls());
        SipShowIM(SIPF_OFF);
        gHost = {};
        WNDCLASSW wc = {};
        wc.lpfnWndProc = hostProc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = L"PlatformTestHost";
        RegisterClassW(&wc);
    }
    void TearDown() override {
        if (host)
            DestroyWindow(host);
        SipShowIM(SIPF_OFF);
    }

    SIPINFO sip() {
        SIPINFO info = {};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
        return info;
    }

    // The main window as the program makes it: visible only, default
    // position, the visible desktop less the menu bar.
    void makeHost(int barId) {
        gHost.barId = barId;
        SIPINFO info = sip();
        int width = info.rcVisibleDesktop.right - info.rcVisibleDesktop.left;
        int height = info.rcVisibleDesktop.bottom - info.rcVisibleDesktop.top - kMenuBarHeight;
        host =
            CreateWindowExW(0, L"PlatformTestHost", L"Host Title", WS_VISIBLE, CW_USEDEFAULT,
                            CW_USEDEFAULT, width, height, NULL, NULL, GetModuleHandleW(NULL), NULL);
        ASSERT_TRUE(host != NULL);
        pump(50);
    }

    HWND toolbarOf(HWND bar) { return FindWindowExW(bar, NULL, TOOLBARCLASSNAMEW, NULL); }

    void click(HWND window, int x, int y) {
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        pump(100);
    }

    HWND host = NULL;
};

} // namespace

TEST_F(PocketPcTest, DeviceScreenGeometryWithSipDownAndUp) {
    SIPINFO down = sip();
    EXPECT_EQ(down.fdwFlags & SIPF_ON, 0u);
    EXPECT_EQ(down.rcVisibleDesktop.right - down.rcVisibleDesktop.left, 240);
    EXPECT_EQ(down.rcVisibleDesktop.bottom - down.rcVisibleDesktop.top, 294);

    makeHost(kTestBar);
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    EXPECT_EQ(gHost.settingChanges, 1);
    SIPINFO up = sip();
    EXPECT_EQ(up.fdwFlags & SIPF_ON, (DWORD)SIPF_ON);
    EXPECT_EQ(up.rcVisibleDesktop.top, down.rcVisibleDesktop.top);
    EXPECT_EQ(up.rcVisibleDesktop.bottom - up.rcVisibleDesktop.top, 294 - 26 - 80);
    EXPECT_EQ(up.rcSipRect.top, up.rcVisibleDesktop.bottom);
    EXPECT_EQ(up.rcSipRect.bottom, down.rcVisibleDesktop.bottom - 26); // above the menu bar
    EXPECT_EQ(up.rcSipRect.right - up.rcSipRect.left, 240);
    HWND panel = FindWindowW(SIPPANEL_CLASS, NULL);
    ASSERT_TRUE(panel != NULL);
    EXPECT_TRUE(IsWindowVisible(panel));

    // Setting the state it already has announces nothing.
    SIPINFO set = up;
    EXPECT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &set, 0));
    EXPECT_EQ(gHost.settingChanges, 1);
    set.fdwFlags = SIPF_OFF;
    EXPECT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &set, 0));
    EXPECT_EQ(gHost.settingChanges, 2);
    EXPECT_FALSE(IsWindowVisible(panel));
    SIPINFO again = sip();
    EXPECT_TRUE(EqualRect(&again.rcVisibleDesktop, &down.rcVisibleDesktop));
}

TEST_F(PocketPcTest, SipInfoRefusesBadRecords) {
    SIPINFO info = {};
    EXPECT_FALSE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0)); // cbSize not set
    EXPECT_FALSE(SHSipInfo(SPI_GETSIPINFO, 0, NULL, 0));
    info.cbSize = sizeof(info);
    EXPECT_FALSE(SHSipInfo(12345, 0, &info, 0));
}

TEST_F(PocketPcTest, MainWindowComesOutCaptionlessBetweenTheBars) {
    makeHost(kTestBar);
    ASSERT_TRUE(gHost.barMade);
    EXPECT_EQ(GetWindowLongPtrW(host, GWL_STYLE) & WS_CAPTION, 0);
    RECT client;
    GetClientRect(host, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 268);

    SIPINFO info = sip();
    RECT window;
    GetWindowRect(host, &window);
    EXPECT_EQ(window.left, info.rcVisibleDesktop.left);
    EXPECT_EQ(window.top, info.rcVisibleDesktop.top);

    RECT bar;
    GetWindowRect(gHost.bar.hwndMB, &bar);
    EXPECT_EQ(bar.top, window.bottom);
    EXPECT_EQ(bar.bottom - bar.top, 26);
    EXPECT_EQ(bar.right - bar.left, 240);
    EXPECT_TRUE(IsWindowVisible(gHost.bar.hwndMB));

    HWND nav = FindWindowW(NAVBAR_CLASS, NULL);
    ASSERT_TRUE(nav != NULL);
    RECT navRect;
    GetWindowRect(nav, &navRect);
    EXPECT_EQ(navRect.bottom, window.top);
    EXPECT_EQ(navRect.bottom - navRect.top, 26);
    EXPECT_EQ(navRect.left, window.left);
}

TEST_F(PocketPcTest, MenuBarButtonsPopupsAndImages) {
    makeHost(kTestBar);
    HWND bar = gHost.bar.hwndMB;
    ASSERT_TRUE(bar != NULL);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 3);

    HMENU view = (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40031);
    HMENU tools = (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40001);
    ASSERT_TRUE(view != NULL);
    ASSERT_TRUE(tools != NULL);
    EXPECT_EQ(GetMenuItemID(view, 0), 40328u);
    EXPECT_EQ(GetMenuItemCount(view), 3);
    EXPECT_EQ(GetMenuItemID(tools, 0), 40003u);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40004), 0); // "New" has none
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 12345), 0);

    // The program's additions: two images, two image buttons, five tips.
    TBADDBITMAP modify = {GetModuleHandleW(NULL), 109};
    TBADDBITMAP remove = {GetModuleHandleW(NULL), 126};
    EXPECT_EQ(SendMessageW(bar, TB_ADDBITMAP, 1, (LPARAM)&modify), 0);
    EXPECT_EQ(SendMessageW(bar, TB_ADDBITMAP, 1, (LPARAM)&remove), 1);
    TBBUTTON buttons[2] = {};
    buttons[0].iBitmap = 0;
    buttons[0].idCommand = 40022;
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[0].iString = -1;
    buttons[1].iBitmap = 1;
    buttons[1].idCommand = 104;
    buttons[1].fsState = TBSTATE_ENABLED;
    buttons[1].iString = -1;
    EXPECT_TRUE(SendMessageW(bar, TB_ADDBUTTONSW, 2, (LPARAM)buttons));
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 5);
    RECT last;
    RECT toolbarClient;
    ASSERT_TRUE(SendMessageW(bar, TB_GETRECT, 104, (LPARAM)&last));
    GetClientRect(toolbarOf(bar), &toolbarClient);
    EXPECT_LE(last.right, toolbarClient.right); // all five fit on the device's width
    LPCWSTR tips[5] = {L"New Item", NULL, L"", L"Modify Item", L"Delete Item"};
    EXPECT_TRUE(SendMessageW(bar, TB_SETTOOLTIPS, 5, (LPARAM)tips));

    EXPECT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, 104, FALSE));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, 104, 0));
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, 40022, 0));

    // The disabled Delete button shows its cross etched in the shadow
    // colour with a highlight beside it, not a grey square, and no red.
    HWND toolbar = toolbarOf(bar);
    RECT rect;
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETRECT, 104, (LPARAM)&rect));
    RedrawWindow(toolbar, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    HDC dc = GetDC(toolbar);
    COLORREF shadow = GetSysColor(COLOR_3DSHADOW), light = GetSysColor(COLOR_3DHILIGHT);
    int shadows = 0, lights = 0, reds = 0;
    for (int y = rect.top; y < rect.bottom; y++) {
        for (int x = rect.left; x < rect.right; x++) {
            COLORREF p = GetPixel(dc, x, y);
            shadows += p == shadow;
            lights += p == light;
            reds += GetRValue(p) > 160 && GetGValue(p) < 100;
        }
    }
    ReleaseDC(toolbar, dc);
    EXPECT_GE(shadows, 30);
    EXPECT_LE(shadows, 130);
    EXPECT_GE(lights, 20);
    EXPECT_EQ(reds, 0);

    // Tool tips are answered by button position.
    NMTTDISPINFOW tip = {};
    tip.hdr.hwndFrom = toolbarOf(bar);
    tip.hdr.idFrom = 40022;
    tip.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(bar, WM_NOTIFY, 0, (LPARAM)&tip);
    EXPECT_STREQ(tip.szText, L"Modify Item");
    tip = {};
    tip.hdr.idFrom = 40031;
    tip.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(bar, WM_NOTIFY, 0, (LPARAM)&tip);
    EXPECT_STREQ(tip.szText, L"");

    // A tap on the plain "New" button reaches the main window.
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETRECT, 40004, (LPARAM)&rect));
    click(toolbar, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_EQ(gHost.lastCommand, 40004);
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETRECT, 40022, (LPARAM)&rect));
    click(toolbar, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_EQ(gHost.lastCommand, 40022);
}

TEST_F(PocketPcTest, MenuBarRefusesBrokenResources) {
    makeHost(0);
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = host;
    info.hInstRes = GetModuleHandleW(NULL);
    info.nToolBarId = 201; // names a popup that does not exist
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_TRUE(info.hwndMB == NULL);
    info.nToolBarId = 202; // shorter than its button count
    EXPECT_FALSE(SHCreateMenuBar(&info));
    info.nToolBarId = 999; // no such resource
    EXPECT_FALSE(SHCreateMenuBar(&info));
    info.cbSize = 0;
    info.nToolBarId = kTestBar;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_FALSE(SHCreateMenuBar(NULL));
    // A failed bar leaves the desktop window as it was.
    EXPECT_NE(GetWindowLongPtrW(host, GWL_STYLE) & WS_CAPTION, 0);
}

TEST_F(PocketPcTest, SipButtonRaisesTheKeyboardWhichTypesIntoTheFocus) {
    makeHost(kTestBar);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, host, NULL,
                                GetModuleHandleW(NULL), NULL);
    SetForegroundWindow(host);
    SetFocus(edit);
    HWND sipButton = GetWindow(toolbarOf(gHost.bar.hwndMB), GW_HWNDNEXT);
    ASSERT_TRUE(sipButton != NULL);
    SendMessageW(gHost.bar.hwndMB, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(sipButton), BN_CLICKED),
                 (LPARAM)sipButton);
    EXPECT_EQ(sip().fdwFlags & SIPF_ON, (DWORD)SIPF_ON);
    EXPECT_EQ(gHost.settingChanges, 1);

    HWND panel = FindWindowW(SIPPANEL_CLASS, NULL);
    ASSERT_TRUE(panel != NULL);
    // "q" is the first key of the second row; the shift key turns the next
    // letter to upper case.
    click(panel, 5, 16 + 8);
    click(panel, 5, 3 * 16 + 8);
    click(panel, 30, 16 + 8);
    WCHAR text[16] = L"";
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"qW");
    EXPECT_EQ(GetFocus(), edit);

    SendMessageW(gHost.bar.hwndMB, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(sipButton), BN_CLICKED),
                 (LPARAM)sipButton);
    EXPECT_EQ(sip().fdwFlags & SIPF_ON, 0u);
    EXPECT_EQ(gHost.settingChanges, 2);
}

TEST_F(PocketPcTest, ActivationWithAZeroedRecordLeavesTheSipAlone) {
    makeHost(0);
    SipShowIM(SIPF_ON);
    SHACTIVATEINFO info = {};
    EXPECT_TRUE(SHHandleWMActivate(host, WA_ACTIVE, 0, &info, 0));
    EXPECT_EQ(sip().fdwFlags & SIPF_ON, (DWORD)SIPF_ON);
    SHACTIVATEINFO change = {};
    EXPECT_TRUE(SHHandleWMSettingChange(host, SPI_SETSIPINFO, 0, &change));
    EXPECT_EQ(change.fSipUp, 1u);
    EXPECT_FALSE(SHHandleWMActivate(host, WA_ACTIVE, 0, NULL, 0));
}

namespace {

class TreeHost : public PocketPcTest {
protected:
    void SetUp() override {
        PocketPcTest::SetUp();
        makeHost(0);
        tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 200,
                               200, host, (HMENU)101, GetModuleHandleW(NULL), NULL);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = (LPWSTR)L"Item";
        item = (HTREEITEM)SendMessageW(tree, TVM_INSERTITEMW, 0, (LPARAM)&insert);
        ASSERT_TRUE(item != NULL);
        union {
            RECT rect;
            HTREEITEM item;
        } place = {};
        place.item = item;
        ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&place.rect));
        RECT rect = place.rect;
        at.x = rect.left + 3;
        at.y = (rect.top + rect.bottom) / 2;
    }
    HWND tree = NULL;
    HTREEITEM item = NULL;
    POINT at = {};
};

} // namespace

TEST_F(TreeHost, HoldingTheStylusStillOpensTheContextMenuAtThePoint) {
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    DWORD start = GetTickCount();
    pump(3000, &gHost.gestures, 1);
    DWORD waited = GetTickCount() - start;
    pump(100);
    ASSERT_EQ(gHost.gestures, 1);
    EXPECT_GE(waited, 400u);
    EXPECT_EQ(gHost.lastGesture.hdr.hwndFrom, tree);
    EXPECT_EQ(gHost.lastGesture.hdr.idFrom, 101u);
    POINT screen = at;
    ClientToScreen(tree, &screen);
    EXPECT_EQ(gHost.lastGesture.ptAction.x, screen.x);
    EXPECT_EQ(gHost.lastGesture.ptAction.y, screen.y);
    EXPECT_EQ(gHost.lastGesture.dwItemSpec, (DWORD)(DWORD_PTR)item);
}

TEST_F(TreeHost, QuickTapsAndMovesAreNoHold) {
    click(tree, at.x, at.y);
    pump(800);
    EXPECT_EQ(gHost.gestures, 0);

    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(tree, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 30, at.y + 30));
    pump(800);
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(at.x + 30, at.y + 30));
    pump(100);
    EXPECT_EQ(gHost.gestures, 0);
}

TEST_F(TreeHost, RightButtonIsTheDesktopShortcut) {
    PostMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(tree, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    pump(200, &gHost.gestures, 1);
    ASSERT_EQ(gHost.gestures, 1);
    EXPECT_EQ(gHost.lastGesture.dwItemSpec, (DWORD)(DWORD_PTR)item);
}

TEST_F(PocketPcTest, RecognizeGestureWaitsForTheHold) {
    makeHost(0);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, host,
                                 (HMENU)7, GetModuleHandleW(NULL), NULL);
    SHRGINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndClient = child;
    info.ptDown.x = 5;
    info.ptDown.y = 6;
    info.dwFlags = SHRG_RETURNCMD;
    EXPECT_EQ(SHRecognizeGesture(&info), (DWORD)GN_CONTEXTMENU);
    EXPECT_EQ(gHost.gestures, 0);

    info.dwFlags = SHRG_NOTIFYPARENT;
    EXPECT_EQ(SHRecognizeGesture(&info), (DWORD)GN_CONTEXTMENU);
    ASSERT_EQ(gHost.gestures, 1);
    EXPECT_EQ(gHost.lastGesture.hdr.idFrom, 7u);

    PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    EXPECT_EQ(SHRecognizeGesture(&info), 0u);
    PostMessageW(child, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 6));
    EXPECT_EQ(SHRecognizeGesture(&info), 0u);
    EXPECT_EQ(gHost.gestures, 1);
    info.cbSize = 0;
    EXPECT_EQ(SHRecognizeGesture(&info), 0u);
}

// ---- Dialogs -----------------------------------------------------------------

namespace {

struct DialogRecord {
    DWORD flags;
    RECT placed;
    LONG_PTR style;
    BOOL sipUpAfterInit;
    int okCount;
};

} // namespace

static DialogRecord gDialog;

static INT_PTR CALLBACK testDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, gDialog.flags};
        SHInitDialog(&init);
        SIPINFO info = {};
        info.cbSize = sizeof(info);
        SHSipInfo(SPI_GETSIPINFO, 0, &info, 0);
        gDialog.sipUpAfterInit = (info.fdwFlags & SIPF_ON) != 0;
        GetWindowRect(dialog, &gDialog.placed);
        gDialog.style = GetWindowLongPtrW(dialog, GWL_STYLE);
        PostMessageW(dialog, WM_APP, 0, 0);
        return TRUE;
    }
    case WM_APP: {
        // Tap where the navigation bar shows "ok", then give up after a while.
        HWND nav = FindWindowW(NAVBAR_CLASS, NULL);
        RECT client;
        GetClientRect(nav, &client);
        SendMessageW(nav, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 10, 13));
        SendMessageW(nav, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 10, 13));
        SetTimer(dialog, 1, 300, NULL);
        return TRUE;
    }
    case WM_TIMER:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            gDialog.okCount++;
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

TEST_F(PocketPcTest, FullScreenDialogFillsTheDeviceAndDoneSendsOk) {
    makeHost(kTestBar);
    SipShowIM(SIPF_ON);
    gDialog = {};
    gDialog.flags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(kTestDialog), host,
                                     testDialogProc, 0);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(gDialog.okCount, 1);
    EXPECT_FALSE(gDialog.sipUpAfterInit);
    EXPECT_EQ(gDialog.style & WS_CAPTION, 0);
    SIPINFO info = sip();
    EXPECT_EQ(gDialog.placed.left, info.rcVisibleDesktop.left);
    EXPECT_EQ(gDialog.placed.top, info.rcVisibleDesktop.top);
    EXPECT_EQ(gDialog.placed.right - gDialog.placed.left, 240);
    EXPECT_EQ(gDialog.placed.bottom - gDialog.placed.top, 294);
}

TEST_F(PocketPcTest, DialogWithoutDoneIgnoresTheOkPlace) {
    makeHost(kTestBar);
    gDialog = {};
    gDialog.flags = SHIDIF_SIZEDLGFULLSCREEN;
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(kTestDialog), host,
                                     testDialogProc, 0);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(gDialog.okCount, 0);
    SHINITDLGINFO bad = {0, host, SHIDIF_DONEBUTTON};
    EXPECT_FALSE(SHInitDialog(&bad)); // no SHIDIM_FLAGS
    EXPECT_FALSE(SHInitDialog(NULL));
}

// ---- Full-screen property sheets ---------------------------------------------

namespace {

struct SheetRun {
    std::vector<std::pair<HWND, UINT>> callbacks;
    RECT sheet, page, edit, tabs;
    int shownButtons, applies, action;
    BOOL nextShown, floatingSipButton;
    LONG_PTR sheetStyle;
};

} // namespace

static SheetRun gSheet;

static int CALLBACK recordSheetCallback(HWND sheet, UINT message, LPARAM) {
    gSheet.callbacks.push_back({sheet, message});
    return message == PSCB_GETVERSION ? 0x20C : 0;
}

static RECT screenRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

static void tapNavBar(int fromRight) {
    HWND nav = FindWindowW(NAVBAR_CLASS, NULL);
    RECT client;
    GetClientRect(nav, &client);
    SendMessageW(nav, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - fromRight, 13));
    SendMessageW(nav, WM_LBUTTONUP, 0, MAKELPARAM(client.right - fromRight, 13));
}

// Each run confirms or cancels the way gSheet.action names: 0 the
// navigation bar's "ok", 1 the Escape key, 2 the cancel mark beside "ok".
static INT_PTR CALLBACK sheetPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        PostMessageW(page, WM_APP, 0, 0);
        return TRUE;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == PSN_APPLY)
            gSheet.applies++;
        return FALSE;
    case WM_APP: {
        HWND sheet = GetParent(page);
        gSheet.sheet = screenRect(sheet);
        gSheet.page = screenRect(page);
        gSheet.edit = screenRect(GetDlgItem(page, 1001));
        gSheet.tabs = screenRect(PropSheet_GetTabControl(sheet));
        for (int id : {IDOK, IDCANCEL, IDHELP, 0x3021, 0x3023, 0x3024, 0x3025}) {
            HWND button = GetDlgItem(sheet, id);
            gSheet.shownButtons += button && IsWindowVisible(button);
        }
        HWND sipButton = FindWindowW(SIPBUTTON_CLASS, NULL);
        gSheet.floatingSipButton = sipButton && IsWindowVisible(sipButton);
        gSheet.sheetStyle = GetWindowLongPtrW(sheet, GWL_STYLE);
        if (gSheet.action == 0)
            tapNavBar(10);
        else if (gSheet.action == 1) {
            SetFocus(GetDlgItem(page, 1001));
            PostMessageW(GetDlgItem(page, 1001), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        } else
            tapNavBar(40);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

TEST_F(PocketPcTest, MaximizedSheetIsAFullScreenPropertySheet) {
    makeHost(kTestBar);
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.hInstance = GetModuleHandleW(NULL);
    page.pszTemplate = MAKEINTRESOURCEW(301);
    page.pfnDlgProc = sheetPageProc;
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = 0x2188; // pages given, no Apply, a callback, full screen
    header.hwndParent = host;
    header.pszCaption = L"Sheet";
    header.nPages = 1;
    header.ppsp = &page;
    header.pfnCallback = recordSheetCallback;
    for (int action = 0; action < 3; ++action) {
        gSheet = {};
        gSheet.action = action;
        INT_PTR result = PropertySheetW(&header);
        EXPECT_EQ(result > 0, action == 0) << action;
        EXPECT_EQ(gSheet.applies, action == 0 ? 1 : 0) << action;
    }

    // The version query first, as the device asks it; the desktop's own
    // message 3 (a button press there) never reaches the program.
    ASSERT_FALSE(gSheet.callbacks.empty());
    EXPECT_EQ(gSheet.callbacks[0].first, (HWND)NULL);
    EXPECT_EQ(gSheet.callbacks[0].second, (UINT)PSCB_GETVERSION);
    bool initialized = false;
    for (size_t i = 1; i < gSheet.callbacks.size(); ++i) {
        EXPECT_NE(gSheet.callbacks[i].second, (UINT)PSCB_GETVERSION);
        initialized = initialized || gSheet.callbacks[i].second == PSCB_INITIALIZED;
    }
    EXPECT_TRUE(initialized);

    // Not a wizard and no desktop button row, on the device screen below
    // the navigation bar; the SIP button floats over it.
    EXPECT_EQ(gSheet.shownButtons, 0);
    EXPECT_TRUE(gSheet.floatingSipButton);
    EXPECT_EQ(gSheet.sheetStyle & WS_CAPTION, 0);
    SIPINFO info = sip();
    EXPECT_EQ(gSheet.sheet.left, info.rcVisibleDesktop.left);
    EXPECT_EQ(gSheet.sheet.top, info.rcVisibleDesktop.top);
    EXPECT_EQ(gSheet.sheet.right - gSheet.sheet.left, 240);
    EXPECT_EQ(gSheet.sheet.bottom - gSheet.sheet.top, 294);
    // The page spans the screen from the navigation bar down to the tabs,
    // which run along the bottom edge, and shows its widest control whole.
    EXPECT_EQ(gSheet.page.top, gSheet.sheet.top);
    EXPECT_EQ(gSheet.page.left, gSheet.sheet.left);
    EXPECT_EQ(gSheet.page.right, gSheet.sheet.right);
    EXPECT_EQ(gSheet.page.bottom, gSheet.tabs.top);
    EXPECT_EQ(gSheet.tabs.bottom, gSheet.sheet.bottom);
    EXPECT_LE(gSheet.tabs.bottom - gSheet.tabs.top, 26);
    EXPECT_LE(gSheet.edit.right, gSheet.page.right);
}

// ---- The rest of the shell ---------------------------------------------------

TEST_F(PocketPcTest, DraggingTheNavigationBarMovesTheDevice) {
    makeHost(kTestBar);
    SIPINFO before = sip();
    RECT hostBefore;
    GetWindowRect(host, &hostBefore);
    HWND nav = FindWindowW(NAVBAR_CLASS, NULL);
    ASSERT_TRUE(nav != NULL);
    SendMessageW(nav, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
    SendMessageW(nav, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 30));
    SendMessageW(nav, WM_LBUTTONUP, 0, MAKELPARAM(60, 30));
    SIPINFO after = sip();
    EXPECT_EQ(after.rcVisibleDesktop.left - before.rcVisibleDesktop.left, 10);
    EXPECT_EQ(after.rcVisibleDesktop.top - before.rcVisibleDesktop.top, 20);
    RECT hostAfter;
    GetWindowRect(host, &hostAfter);
    EXPECT_EQ(hostAfter.left - hostBefore.left, 10);
    EXPECT_EQ(hostAfter.top - hostBefore.top, 20);
    moveDevice(-10, -20);
}

TEST_F(PocketPcTest, SippPrefClassAndDocumentsFolderExist) {
    makeHost(0);
    HWND pref = CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, 0, 0, 5, 5, host, (HMENU)-1,
                                GetModuleHandleW(NULL), NULL);
    EXPECT_TRUE(pref != NULL);
    WCHAR documents[MAX_PATH] = L"";
    ASSERT_TRUE(SHGetSpecialFolderPathW(NULL, documents, CSIDL_PERSONAL, TRUE));
    DWORD attributes = GetFileAttributesW(documents);
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(HelpAddress, PointsAtTheHelpFileBesideTheProgram) {
    WCHAR address[300];
    ASSERT_TRUE(helpAddress(L"C:\\Program Files\\Twigmark", L"Twigmark.htm#addnew", address, 300));
    EXPECT_STREQ(address, L"file:///C:/Program Files/Twigmark/Twigmark.htm#addnew");
    ASSERT_TRUE(helpAddress(L"C:\\x", L"Twigmark.htm", address, 300));
    EXPECT_STREQ(address, L"file:///C:/x/Twigmark.htm");
    EXPECT_FALSE(helpAddress(L"C:\\x", L"..\\secret.htm#a", address, 300));
    EXPECT_FALSE(helpAddress(L"C:\\x", L"notes.exe", address, 300));
    EXPECT_FALSE(helpAddress(L"C:\\x", L"", address, 300));
    EXPECT_FALSE(helpAddress(L"C:\\x", L"Twigmark.htm#Main_Contents", address, 20));
    WCHAR longName[400];
    for (int i = 0; i < 399; i++)
        longName[i] = L'a';
    longName[399] = 0;
    EXPECT_FALSE(helpAddress(L"C:\\x", longName, address, 300));
    EXPECT_FALSE(launchProgram(NULL, L"x"));
}
