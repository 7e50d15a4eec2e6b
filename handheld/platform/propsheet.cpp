// Property sheets in the device manner: a sheet with PSH_MAXIMIZE fills the
// device screen below the navigation bar, its pages stretched to the width
// of the screen above the tabs along the bottom edge, and the navigation
// bar's "ok" and cancel mark in place of the desktop's buttons.
#include "device.h"

#include <string.h>

// Here the desktop's own sheet is meant, not the layer's.
#undef PropertySheetW

namespace {

enum {
    kTabControlId = 0x3020, // the desktop sheet's tab control
    kApplyButtonId = 0x3021,
    kTabStripExtra = 4,       // the tab control's edge below its row of tabs
    kLayoutSubclass = 0x5053, // "PS"
};

} // namespace

// The application's callback of the sheet being created; sheets are modal,
// one at a time on the window thread.
static PFNPROPSHEETCALLBACK gAppCallback = NULL;

namespace {

struct PageLayout {
    HWND sheet;
    RECT pageRect; // sheet client coordinates
};

} // namespace

static BOOL CALLBACK placePage(HWND child, LPARAM lParam) {
    const PageLayout* layout = (const PageLayout*)lParam;
    WCHAR className[16];
    if (GetParent(child) != layout->sheet || !GetClassNameW(child, className, 16) ||
        lstrcmpW(className, L"#32770") != 0)
        return TRUE;
    if (!GetPropW(child, FLAT_PROP)) {
        SetPropW(child, FLAT_PROP, (HANDLE)1);
        flattenControls(child);
    }
    const RECT* r = &layout->pageRect;
    SetWindowPos(child, NULL, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

// As on the device, the pages take the whole width of the screen (a page
// laid out for 240 pixels has no room for the desktop's tab frame) and all
// of its height above the tabs, which run along the bottom edge. The sheet
// is confirmed through the navigation bar's "ok" and cancelled through its
// cancel mark or the Escape key: the desktop's buttons stay hidden, though
// they still carry the commands.
static void layOutSheet(HWND sheet) {
    RECT client;
    GetClientRect(sheet, &client);
    static const int kButtons[] = {IDHELP, kApplyButtonId, IDCANCEL, IDOK};
    for (int id : kButtons) {
        HWND button = GetDlgItem(sheet, id);
        if (button && (GetWindowLongPtrW(button, GWL_STYLE) & WS_VISIBLE))
            ShowWindow(button, SW_HIDE);
    }
    HWND tab = GetDlgItem(sheet, kTabControlId);
    if (!tab)
        return;
    LONG_PTR style = GetWindowLongPtrW(tab, GWL_STYLE);
    if (!(style & TCS_BOTTOM))
        SetWindowLongPtrW(tab, GWL_STYLE, style | TCS_BOTTOM);
    RECT header = {0, 0, 0, 0};
    if (!TabCtrl_GetItemRect(tab, 0, &header))
        SetRect(&header, 0, 0, 0, 18);
    int stripHeight = header.bottom - header.top + kTabStripExtra;
    int stripTop = client.bottom - stripHeight;
    SetWindowPos(tab, NULL, 0, stripTop, client.right, stripHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    PageLayout layout = {sheet, {0, 0, client.right, stripTop}};
    EnumChildWindows(sheet, placePage, (LPARAM)&layout);
    InvalidateRect(sheet, NULL, TRUE);
}

// Pages are made when they are first shown; each change of page may bring
// a new one in at the desktop's place and size.
static LRESULT CALLBACK sheetSubclass(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(sheet, message, wParam, lParam);
    switch (message) {
    case WM_SHOWWINDOW:
    case WM_SIZE:
    case PSM_SETCURSEL:
    case PSM_SETCURSELID:
    case PSM_ADDPAGE:
        layOutSheet(sheet);
        break;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == TCN_SELCHANGE)
            layOutSheet(sheet);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(sheet, sheetSubclass, kLayoutSubclass);
        break;
    default:
        break;
    }
    return result;
}

static int CALLBACK maximizedSheetCallback(HWND sheet, UINT message, LPARAM lParam) {
    if (message == PSCB_INITIALIZED) {
        SetWindowSubclass(sheet, sheetSubclass, kLayoutSubclass, 0);
        makeFullScreen(sheet, FALSE);
        layOutSheet(sheet);
        SetPropW(sheet, DONE_BUTTON_PROP, (HANDLE)1);
        SetPropW(sheet, CANCEL_BUTTON_PROP, (HANDLE)1);
        showNavBar();
        refreshNavBar(sheet);
    }
    if (message != PSCB_INITIALIZED && message != PSCB_PRECREATE)
        return 0;
    return gAppCallback ? gAppCallback(sheet, message, lParam) : 0;
}

INT_PTR devicePropertySheet(LPCPROPSHEETHEADERW header) {
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    PROPSHEETHEADERW copy;
    memset(&copy, 0, sizeof copy);
    memcpy(&copy, header, header->dwSize < sizeof copy ? header->dwSize : sizeof copy);
    copy.dwSize = sizeof copy;
    if (!(copy.dwFlags & PSH_MAXIMIZE))
        return PropertySheetW(&copy);
    if (!ensureDevice())
        return -1;
    PFNPROPSHEETCALLBACK appCallback =
        (copy.dwFlags & PSH_USECALLBACK) ? copy.pfnCallback : (PFNPROPSHEETCALLBACK)NULL;
    if (appCallback)
        appCallback(NULL, PSCB_GETVERSION, 0);
    PFNPROPSHEETCALLBACK outer = gAppCallback;
    gAppCallback = appCallback;
    copy.dwFlags = (copy.dwFlags & ~(DWORD)PSH_MAXIMIZE) | PSH_USECALLBACK;
    copy.pfnCallback = maximizedSheetCallback;
    INT_PTR result = PropertySheetW(&copy);
    gAppCallback = outer;
    return result;
}
