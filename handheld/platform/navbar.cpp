// The navigation bar across the top of the device screen: the active
// window's title, the "ok" button of dialogs that asked for one, and the
// handle by which the whole device is dragged around the desktop.
#include "device.h"

namespace {

enum { kOkWidth = 30, kCancelWidth = 24, kTitleChars = 100 };

struct NavBarState {
    HWND target; // the window whose title is shown
    BOOL dragging;
    POINT dragFrom; // screen position of the last drag step
    HFONT font;
};

} // namespace

static NavBarState gNav;

static BOOL hasDoneButton(HWND window) {
    return window && IsWindow(window) && GetPropW(window, DONE_BUTTON_PROP) != NULL;
}

static BOOL hasCancelButton(HWND window) {
    return window && IsWindow(window) && GetPropW(window, CANCEL_BUTTON_PROP) != NULL;
}

static RECT okButtonRect(HWND navBar) {
    RECT client;
    GetClientRect(navBar, &client);
    client.left = client.right - kOkWidth;
    return client;
}

// The cancel mark stands left of "ok".
static RECT cancelButtonRect(HWND navBar) {
    RECT r = okButtonRect(navBar);
    r.right = r.left;
    r.left -= kCancelWidth;
    return r;
}

static void drawCancelMark(HDC dc, RECT r) {
    InflateRect(&r, -7, -7);
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, r.left, r.top, NULL);
    LineTo(dc, r.right, r.bottom);
    MoveToEx(dc, r.right, r.top, NULL);
    LineTo(dc, r.left, r.bottom);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Which of the bar's buttons a point hits: IDOK, IDCANCEL or 0.
static int buttonAt(HWND navBar, POINT at) {
    RECT ok = okButtonRect(navBar), cancel = cancelButtonRect(navBar);
    if (hasDoneButton(gNav.target) && PtInRect(&ok, at))
        return IDOK;
    if (hasCancelButton(gNav.target) && PtInRect(&cancel, at))
        return IDCANCEL;
    return 0;
}

static void paintNavBar(HWND navBar) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(navBar, &ps);
    RECT client;
    GetClientRect(navBar, &client);
    HBRUSH background = CreateSolidBrush(RGB(0, 40, 120));
    FillRect(dc, &client, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ oldFont = SelectObject(dc, gNav.font ? gNav.font : GetStockObject(DEFAULT_GUI_FONT));
    WCHAR title[kTitleChars] = L"";
    if (gNav.target && IsWindow(gNav.target))
        GetWindowTextW(gNav.target, title, kTitleChars);
    RECT text = client;
    text.left += 6;
    text.right -= kOkWidth + (hasCancelButton(gNav.target) ? kCancelWidth : 0);
    DrawTextW(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (hasDoneButton(gNav.target)) {
        RECT ok = okButtonRect(navBar);
        InflateRect(&ok, -3, -4);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        Ellipse(dc, ok.left, ok.top, ok.right, ok.bottom);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DrawTextW(dc, L"ok", -1, &ok, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
    if (hasCancelButton(gNav.target))
        drawCancelMark(dc, cancelButtonRect(navBar));
    SelectObject(dc, oldFont);
    EndPaint(navBar, &ps);
}

static void onNavButtonDown(HWND navBar, LPARAM lParam) {
    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    if (buttonAt(navBar, at))
        return; // the tap completes on release
    gNav.dragging = TRUE;
    ClientToScreen(navBar, &at);
    gNav.dragFrom = at;
    SetCapture(navBar);
}

static void onNavMouseMove(HWND navBar, LPARAM lParam) {
    if (!gNav.dragging)
        return;
    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    ClientToScreen(navBar, &at);
    moveDevice(at.x - gNav.dragFrom.x, at.y - gNav.dragFrom.y);
    gNav.dragFrom = at;
}

static void onNavButtonUp(HWND navBar, LPARAM lParam) {
    if (gNav.dragging) {
        gNav.dragging = FALSE;
        ReleaseCapture();
        return;
    }
    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    int button = buttonAt(navBar, at);
    if (button)
        SendMessageW(gNav.target, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

static void onNavCreate(void) {
    LOGFONTW font = {};
    font.lfHeight = -12;
    font.lfWeight = FW_BOLD;
    lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    gNav.font = CreateFontIndirectW(&font);
}

static void onNavDestroy(void) {
    if (gNav.font)
        DeleteObject(gNav.font);
    gNav.font = NULL;
    gDevice.navBar = NULL;
}

LRESULT CALLBACK navBarProc(HWND navBar, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onNavCreate();
        return 0;
    case WM_PAINT:
        paintNavBar(navBar);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        onNavButtonDown(navBar, lParam);
        return 0;
    case WM_MOUSEMOVE:
        onNavMouseMove(navBar, lParam);
        return 0;
    case WM_LBUTTONUP:
        onNavButtonUp(navBar, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        gNav.dragging = FALSE;
        return 0;
    case WM_APP: {
        // Activations may have followed since this one was posted.
        HWND active = GetActiveWindow();
        refreshNavBar(active ? active : (HWND)wParam);
        return 0;
    }
    case WM_DESTROY:
        onNavDestroy();
        return 0;
    default:
        return DefWindowProcW(navBar, message, wParam, lParam);
    }
}

HWND showNavBar(void) {
    if (gDevice.navBar)
        return gDevice.navBar;
    if (!ensureDevice())
        return NULL;
    RECT band = deviceBand(0, kNavBarHeight);
    gDevice.navBar = CreateWindowExW(
        WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, NAVBAR_CLASS, L"", WS_POPUP, band.left, band.top,
        band.right - band.left, band.bottom - band.top, NULL, NULL, GetModuleHandleW(NULL), NULL);
    if (gDevice.navBar)
        ShowWindow(gDevice.navBar, SW_SHOWNOACTIVATE);
    return gDevice.navBar;
}

void refreshNavBar(HWND active) {
    if (!gDevice.navBar)
        return;
    // The layer's own bars never become the subject of the title.
    WCHAR className[32];
    if (active && GetClassNameW(active, className, 32) &&
        (!lstrcmpW(className, NAVBAR_CLASS) || !lstrcmpW(className, MENUBAR_CLASS) ||
         !lstrcmpW(className, SIPPANEL_CLASS) || !lstrcmpW(className, SIPBUTTON_CLASS)))
        return;
    gNav.target = active;
    InvalidateRect(gDevice.navBar, NULL, TRUE);
    refreshSipButton(active);
    raiseSipPanel();
}
