// Dialogs in the device manner: full screen below the navigation bar, the
// Done ("ok") button in the navigation bar. With the SIP up a full-screen
// dialog ends at the SIP's top edge and scrolls when its controls reach
// further down, so every control stays reachable with the stylus.
#include "device.h"

namespace {

enum { kScrollSubclass = 0x5344, kScrollLine = 12, kScrollMargin = 4 };

} // namespace

#define SCROLL_TOP_PROP L"PocketPcScrollTop"
#define SCROLLS_PROP L"PocketPcScrolls"

static int scrollTop(HWND window) {
    return (int)(INT_PTR)GetPropW(window, SCROLL_TOP_PROP);
}

// Bottom edge of the lowest visible control, in unscrolled client
// coordinates.
static int contentBottom(HWND window) {
    int bottom = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        // The dialog itself may not show yet: the control's own style counts.
        if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, window, (POINT*)&r, 2);
        if (r.bottom > bottom)
            bottom = r.bottom;
    }
    return bottom + scrollTop(window) + kScrollMargin;
}

static void scrollTo(HWND window, int top) {
    RECT client;
    GetClientRect(window, &client);
    int limit = contentBottom(window) - client.bottom;
    if (top > limit)
        top = limit;
    if (top < 0)
        top = 0;
    int old = scrollTop(window);
    if (top == old)
        return;
    ScrollWindowEx(window, 0, old - top, NULL, NULL, NULL, NULL,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    SetPropW(window, SCROLL_TOP_PROP, (HANDLE)(INT_PTR)top);
    SetScrollPos(window, SB_VERT, top, TRUE);
}

static void updateScrolling(HWND window) {
    if (!GetPropW(window, SCROLLS_PROP))
        return;
    RECT client;
    GetClientRect(window, &client);
    int content = contentBottom(window);
    if (content <= client.bottom || !gDevice.sipUp) {
        scrollTo(window, 0);
        ShowScrollBar(window, SB_VERT, FALSE);
        return;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = content - 1;
    info.nPage = (UINT)client.bottom;
    info.nPos = scrollTop(window);
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    ShowScrollBar(window, SB_VERT, TRUE);
}

static void onVerticalScroll(HWND window, WPARAM wParam) {
    RECT client;
    GetClientRect(window, &client);
    int top = scrollTop(window);
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        top -= kScrollLine;
        break;
    case SB_LINEDOWN:
        top += kScrollLine;
        break;
    case SB_PAGEUP:
        top -= client.bottom;
        break;
    case SB_PAGEDOWN:
        top += client.bottom;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        top = HIWORD(wParam);
        break;
    case SB_TOP:
        top = 0;
        break;
    case SB_BOTTOM:
        top = contentBottom(window);
        break;
    default:
        return;
    }
    scrollTo(window, top);
}

static LRESULT CALLBACK scrollSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR) {
    if (message == WM_VSCROLL && !lParam) {
        onVerticalScroll(window, wParam);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(window, SCROLL_TOP_PROP);
        RemovePropW(window, SCROLLS_PROP);
        RemoveWindowSubclass(window, scrollSubclass, kScrollSubclass);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void fitAboveSip(HWND window) {
    if (!window || !GetPropW(window, FULL_SCREEN_PROP))
        return;
    RECT place = deviceBand(kNavBarHeight, kDeviceHeight - kNavBarHeight);
    if (gDevice.sipUp)
        place.bottom = sipRect().top;
    SetWindowPos(window, NULL, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    updateScrolling(window);
}

void revealControl(HWND control) {
    HWND window = GetAncestor(control, GA_ROOT);
    if (!window || !GetPropW(window, SCROLLS_PROP) ||
        !(GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE))
        return;
    RECT r, client;
    GetWindowRect(control, &r);
    MapWindowPoints(NULL, window, (POINT*)&r, 2);
    GetClientRect(window, &client);
    if (r.bottom > client.bottom)
        scrollTo(window, scrollTop(window) + r.bottom - client.bottom + kScrollMargin);
    else if (r.top < 0)
        scrollTo(window, scrollTop(window) + r.top - kScrollMargin);
}

void flattenControls(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG_PTR exStyle = GetWindowLongPtrW(child, GWL_EXSTYLE);
        if (!(exStyle & WS_EX_CLIENTEDGE))
            continue;
        SetWindowLongPtrW(child, GWL_EXSTYLE, exStyle & ~(LONG_PTR)WS_EX_CLIENTEDGE);
        SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) | WS_BORDER);
        SetWindowPos(child, NULL, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void makeFullScreen(HWND window, BOOL scrolls) {
    fitToDevice(window, deviceBand(kNavBarHeight, kDeviceHeight - kNavBarHeight));
    SetPropW(window, FULL_SCREEN_PROP, (HANDLE)1);
    if (scrolls && SetWindowSubclass(window, scrollSubclass, kScrollSubclass, 0))
        SetPropW(window, SCROLLS_PROP, (HANDLE)1);
    fitAboveSip(window);
}

BOOL SHInitDialog(PSHINITDLGINFO pshidi) {
    if (!pshidi || !(pshidi->dwMask & SHIDIM_FLAGS) || !IsWindow(pshidi->hDlg) || !ensureDevice()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A property sheet page stands for its sheet.
    HWND dialog = GetAncestor(pshidi->hDlg, GA_ROOT);
    DWORD flags = pshidi->dwFlags;
    flattenControls(pshidi->hDlg);
    if (flags & SHIDIF_SIPDOWN)
        SipShowIM(SIPF_OFF);
    if (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR))
        makeFullScreen(dialog, TRUE);
    else if (flags & SHIDIF_SIZEDLG) {
        RECT place = visibleDesktop();
        if (!gDevice.sipUp)
            place.bottom -= kMenuBarHeight;
        fitToDevice(dialog, place);
    }
    if (flags & SHIDIF_DONEBUTTON)
        SetPropW(dialog, DONE_BUTTON_PROP, (HANDLE)1);
    else
        RemovePropW(dialog, DONE_BUTTON_PROP);
    if (flags & SHIDIF_CANCELBUTTON)
        SetPropW(dialog, CANCEL_BUTTON_PROP, (HANDLE)1);
    showNavBar();
    refreshNavBar(dialog);
    return TRUE;
}
