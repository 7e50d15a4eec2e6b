// The device screen: where it sits on the desktop, the SIP state that decides
// the visible desktop, and the shell's activation and setting-change calls.
#include "device.h"

DeviceScreen gDevice;

// Every class of the layer: arrow cursor, the given background (none paints
// nothing itself). A class that exists already is left as it is.
static BOOL registerLayerClass(HINSTANCE instance, LPCWSTR name, WNDPROC proc, HBRUSH background) {
    WNDCLASSW wc = {};
    if (GetClassInfoW(instance, name, &wc))
        return TRUE;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0;
}

// The navigation bar shows whichever window becomes active; a window that
// goes takes its marks with it. Focus moves reach the SIPPREF controls.
static LRESULT CALLBACK activationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && gDevice.navBar)
        PostMessageW(gDevice.navBar, WM_APP, wParam, 0);
    if (code == HCBT_SETFOCUS && wParam)
        noteFocusChange((HWND)wParam);
    if (code == HCBT_DESTROYWND) {
        HWND window = (HWND)wParam;
        RemovePropW(window, DONE_BUTTON_PROP);
        RemovePropW(window, CANCEL_BUTTON_PROP);
        RemovePropW(window, FLAT_PROP);
        if (RemovePropW(window, FULL_SCREEN_PROP))
            refreshSipButton(NULL);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// The device sits in the middle of the desktop's work area.
static POINT initialOrigin(void) {
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    POINT origin;
    origin.x = work.left + (work.right - work.left - kDeviceWidth) / 2;
    origin.y = work.top + (work.bottom - work.top - kDeviceHeight) / 2;
    if (origin.x < work.left)
        origin.x = work.left;
    if (origin.y < work.top)
        origin.y = work.top;
    return origin;
}

BOOL ensureDevice(void) {
    if (gDevice.ready)
        return TRUE;
    HINSTANCE instance = GetModuleHandleW(NULL);
    if (!registerLayerClass(instance, SIPPREF_CLASS, sipPrefProc, NULL) ||
        !registerLayerClass(instance, NAVBAR_CLASS, navBarProc, NULL) ||
        !registerLayerClass(instance, MENUBAR_CLASS, menuBarProc, (HBRUSH)(COLOR_BTNFACE + 1)) ||
        !registerLayerClass(instance, SIPPANEL_CLASS, sipPanelProc, NULL) ||
        !registerLayerClass(instance, SIPBUTTON_CLASS, sipButtonProc, NULL))
        return FALSE;
    DWORD thread = GetCurrentThreadId();
    gDevice.activationHook = SetWindowsHookExW(WH_CBT, activationHook, NULL, thread);
    gDevice.messageHook = SetWindowsHookExW(WH_GETMESSAGE, gestureMessageHook, NULL, thread);
    if (!gDevice.activationHook || !gDevice.messageHook)
        return FALSE;
    gDevice.origin = initialOrigin();
    gDevice.ready = TRUE;
    return TRUE;
}

BOOL SHInitExtraControls(void) {
    return ensureDevice();
}

RECT deviceBand(int top, int height) {
    RECT band;
    SetRect(&band, gDevice.origin.x, gDevice.origin.y + top, gDevice.origin.x + kDeviceWidth,
            gDevice.origin.y + top + height);
    return band;
}

RECT sipRect(void) {
    return deviceBand(kDeviceHeight - kMenuBarHeight - kSipHeight, kSipHeight);
}

RECT visibleDesktop(void) {
    int bottom = kDeviceHeight - (gDevice.sipUp ? kMenuBarHeight + kSipHeight : 0);
    return deviceBand(kNavBarHeight, bottom - kNavBarHeight);
}

void fitToDevice(HWND window, RECT screenRect) {
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    style &= ~(LONG_PTR)(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                         WS_BORDER | WS_DLGFRAME);
    exStyle &= ~(LONG_PTR)(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME |
                           WS_EX_STATICEDGE | WS_EX_APPWINDOW);
    SetWindowLongPtrW(window, GWL_STYLE, style);
    SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle);
    SetWindowPos(window, NULL, screenRect.left, screenRect.top, screenRect.right - screenRect.left,
                 screenRect.bottom - screenRect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

namespace {

struct MoveRequest {
    int dx;
    int dy;
};

} // namespace

static BOOL CALLBACK moveOneWindow(HWND window, LPARAM lParam) {
    const MoveRequest* move = (const MoveRequest*)lParam;
    RECT rect;
    if (IsWindowVisible(window) && GetWindowRect(window, &rect))
        SetWindowPos(window, NULL, rect.left + move->dx, rect.top + move->dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void moveDevice(int dx, int dy) {
    gDevice.origin.x += dx;
    gDevice.origin.y += dy;
    MoveRequest move = {dx, dy};
    EnumThreadWindows(GetCurrentThreadId(), moveOneWindow, (LPARAM)&move);
}

static BOOL CALLBACK announceSip(HWND window, LPARAM lParam) {
    fitAboveSip(window);
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    return TRUE;
}

static BOOL setSip(BOOL up) {
    if (!ensureDevice())
        return FALSE;
    up = up ? TRUE : FALSE;
    if (up == gDevice.sipUp)
        return TRUE;
    gDevice.sipUp = up;
    showSipPanel(up);
    EnumThreadWindows(GetCurrentThreadId(), announceSip, 0);
    refreshSipButton(GetActiveWindow());
    return TRUE;
}

BOOL SHSipInfo(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
    SIPINFO* info = (SIPINFO*)pvParam;
    if (!info || info->cbSize < sizeof(SIPINFO) || !ensureDevice()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (uiAction == SPI_GETSIPINFO) {
        info->fdwFlags = SIPF_DOCKED | (gDevice.sipUp ? SIPF_ON : SIPF_OFF);
        info->rcVisibleDesktop = visibleDesktop();
        info->rcSipRect = sipRect();
        info->dwImDataSize = 0;
        info->pvImData = NULL;
        return TRUE;
    }
    if (uiAction == SPI_SETSIPINFO)
        return setSip((info->fdwFlags & SIPF_ON) != 0);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL SipShowIM(DWORD dwFlag) {
    return setSip((dwFlag & SIPF_ON) != 0);
}

BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai,
                        DWORD dwFlags) {
    if (!psai)
        return FALSE;
    if (LOWORD(wParam) == WA_INACTIVE) {
        // A zeroed record means the window never asked for the SIP itself:
        // its state is only remembered, never forced, on deactivation.
        psai->fSipUp = gDevice.sipUp ? 1 : 0;
        psai->fActive = 0;
        return TRUE;
    }
    if (!psai->fActive && psai->cbSize >= sizeof(SHACTIVATEINFO) && !(dwFlags & SHA_INPUTDIALOG))
        setSip(psai->fSipUp);
    psai->fActive = 1;
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai) {
    if (!psai)
        return FALSE;
    if (wParam == SPI_SETSIPINFO)
        psai->fSipUp = gDevice.sipUp ? 1 : 0;
    return TRUE;
}

void SHInputDialog(HWND hwnd, UINT uMsg, WPARAM wParam) {
    if (uMsg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE && gDevice.sipUp)
        setSip(FALSE);
}
