// The main window: its procedure hands each message to one named function.
#include "commands.h"
#include "docsave.h"
#include "itemdraw.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "settings.h"
#include "treenotify.h"

#include <windowsx.h>

namespace {

// One below WM_USER is the shell's WM_HIBERNATE, its request to free
// memory: the search state goes, and a changed document is written.
enum { kDiscardSearchMessage = WM_HIBERNATE };

} // namespace

ChildLayout computeChildLayout(int clientWidth, int clientHeight, bool hideNote) {
    ChildLayout layout = {};
    int treeHeight = hideNote ? clientHeight - 6 : (clientHeight - 6) * 60 / 100;
    layout.tree = {2, 2, clientWidth - 4, treeHeight};
    layout.paneShown = !hideNote;
    layout.pane = {2, treeHeight + 4, clientWidth - 4, clientHeight - treeHeight - 6};
    return layout;
}

void layoutMainWindow(HWND window) {
    SIPINFO sip = {};
    sip.cbSize = sizeof sip;
    if (SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0)) {
        RECT& area = sip.rcVisibleDesktop;
        int height = area.bottom - area.top;
        if (!(sip.fdwFlags & SIPF_ON))
            height -= kMenuBarHeight;
        MoveWindow(window, area.left, area.top, area.right - area.left, height, TRUE);
    }
    RECT client;
    GetClientRect(window, &client);
    ChildLayout layout = computeChildLayout(client.right, client.bottom, gOptions.hideNoteWindow);
    MoveWindow(gProgram.treeView, layout.tree.left, layout.tree.top, layout.tree.right,
               layout.tree.bottom, TRUE);
    if (layout.paneShown) {
        MoveWindow(gProgram.notePane, layout.pane.left, layout.pane.top, layout.pane.right,
                   layout.pane.bottom, TRUE);
        ShowWindow(gProgram.notePane, SW_SHOWNOACTIVATE);
    } else {
        ShowWindow(gProgram.notePane, SW_HIDE);
    }
}

HMENU menuBarPopup(UINT buttonCommand) {
    if (!gProgram.menuBar)
        return nullptr;
    return (HMENU)SendMessageW(gProgram.menuBar, SHCMBM_GETSUBMENU, 0, (LPARAM)buttonCommand);
}

// A failed save in the background is told once; the next one that works
// lets a later failure be told again.
static bool gBackgroundFailureShown = false;

static LRESULT onCreate(HWND window) {
    gBackgroundFailureShown = false;
    SHMENUBARINFO info = {};
    info.cbSize = sizeof info;
    info.hwndParent = window;
    info.dwFlags = 0;
    info.nToolBarId = IDR_MAIN_MENU;
    info.hInstRes = gProgram.instance;
    info.nBmpId = 0;
    info.cBmpImages = 0;
    if (!SHCreateMenuBar(&info)) {
        gProgram.menuBar = nullptr;
        return 0;
    }
    HWND bar = info.hwndMB;
    gProgram.menuBar = bar;
    static const WCHAR* tips[5] = {L"New Item", nullptr, nullptr, L"Modify Item", L"Delete Item"};
    SendMessageW(bar, TB_SETTOOLTIPS, 5, (LPARAM)tips);
    TBADDBITMAP modify = {gProgram.instance, IDB_MODIFY};
    TBADDBITMAP remove = {gProgram.instance, IDB_DELETE};
    int modifyImage = (int)SendMessageW(bar, TB_ADDBITMAP, 1, (LPARAM)&modify);
    int deleteImage = (int)SendMessageW(bar, TB_ADDBITMAP, 1, (LPARAM)&remove);
    TBBUTTON buttons[2] = {};
    buttons[0].iBitmap = modifyImage;
    buttons[0].idCommand = IDM_MODIFY_ITEM;
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[0].fsStyle = TBSTYLE_BUTTON;
    buttons[1].iBitmap = deleteImage;
    buttons[1].idCommand = IDM_DELETE_ITEM;
    buttons[1].fsState = TBSTATE_ENABLED;
    buttons[1].fsStyle = TBSTYLE_BUTTON;
    SendMessageW(bar, TB_ADDBUTTONS, 2, (LPARAM)buttons);
    return 0;
}

static LRESULT onDestroy() {
    if (gProgram.running)
        saveSettings();
    if (gProgram.menuBar)
        DestroyWindow(gProgram.menuBar);
    gProgram.menuBar = nullptr;
    if (gProgram.itemMenu)
        DestroyMenu(gProgram.itemMenu);
    gProgram.itemMenu = nullptr;
    HFONT* fonts[3] = {&gProgram.normalFont, &gProgram.italicFont, &gProgram.boldFont};
    for (HFONT* font : fonts) {
        if (*font)
            DeleteObject(*font);
        *font = nullptr;
    }
    clearCategories(&gCategories);
    if (gProgram.running)
        PostQuitMessage(0);
    gProgram.running = 0;
    return 0;
}

// On the handheld the user does not close programs: the X button hides
// them, and a reset or a flat battery ends them without a close. So a
// changed document is written, as closing writes it, whenever the user
// leaves Twigmark or the shell asks for memory. An unchanged one is not
// touched.
static void saveInBackground() {
    static bool saving = false; // the save's own message boxes deactivate us
    if (saving || !gProgram.running || !gProgram.documentChanged)
        return;
    saving = true;
    if (saveKeepingDamaged(gProgram.treeView, gProgram.notePath, &gProgram.notePathDamaged)) {
        gProgram.documentChanged = 0;
        gBackgroundFailureShown = false;
    } else if (!gBackgroundFailureShown) {
        gBackgroundFailureShown = true;
        showSaveError(nullptr);
    }
    saving = false;
}

// Twigmark's own dialogs, message boxes and menus belong to this process.
static bool isOwnWindow(HWND other) {
    DWORD process = 0;
    return other && GetWindowThreadProcessId(other, &process) && process == GetCurrentProcessId();
}

static LRESULT onActivate(HWND window, WPARAM wParam, LPARAM lParam) {
    SHACTIVATEINFO activation = {};
    activation.cbSize = sizeof activation;
    SHHandleWMActivate(window, wParam, lParam, &activation, 0);
    layoutMainWindow(window);
    if (LOWORD(wParam) == WA_INACTIVE && !isOwnWindow((HWND)lParam))
        saveInBackground();
    return 0;
}

// Only the user's typing changes the document; the program's own writes of
// the pane (showing a selection, the item editor) do not.
static void onPaneNotify(UINT code) {
    if (code == EN_CHANGE && !showingNote() && !inProgramChange())
        gProgram.documentChanged = 1;
}

static LRESULT onClose(HWND window) {
    if (saveKeepingDamaged(gProgram.treeView, gProgram.notePath, &gProgram.notePathDamaged))
        gProgram.documentChanged = 0;
    else
        showSaveError(nullptr);
    DestroyWindow(window);
    return 0;
}

static LRESULT onSettingChange(HWND window, WPARAM wParam, LPARAM lParam) {
    SHACTIVATEINFO activation = {};
    activation.cbSize = sizeof activation;
    SHHandleWMSettingChange(window, wParam, lParam, &activation);
    layoutMainWindow(window);
    return 0;
}

// The help viewer runs on its own; nothing waits for it or looks at how it
// ended.
static LRESULT onHelp() {
    BOOL started = launchProgram(L"peghelp.exe", L"Twigmark.htm#Main_Contents");
    (void)started;
    return 0;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_DESTROY:
        return onDestroy();
    case WM_ACTIVATE:
        return onActivate(window, wParam, lParam);
    case WM_CLOSE:
        return onClose(window);
    case WM_SETTINGCHANGE:
        // Only the input panel's change is the layout's; every other one
        // is the default procedure's.
        if (wParam != SPI_SETSIPINFO)
            break;
        return onSettingChange(window, wParam, lParam);
    case WM_DRAWITEM:
        drawIconMenuItem(window, (const DRAWITEMSTRUCT*)lParam);
        return 0;
    case WM_MEASUREITEM:
        measureIconMenuItem(window, (MEASUREITEMSTRUCT*)lParam);
        return 0;
    case WM_NOTIFY:
        return onTreeNotify(window, (NMHDR*)lParam);
    case WM_HELP:
        return onHelp();
    case WM_COMMAND:
        if (gProgram.notePane && (HWND)lParam == gProgram.notePane) {
            onPaneNotify(HIWORD(wParam));
            return 0;
        }
        if (onCommand(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (!gDrag.dragging)
            break;
        trackDrag(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (!gDrag.dragging)
            break;
        dropDragged(window);
        return 0;
    case kDiscardSearchMessage:
        discardSearch();
        saveInBackground();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
