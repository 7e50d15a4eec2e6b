// Tap and hold: the stylus held down and still for half a second asks for
// the context menu of what it points at.
#include "device.h"

namespace {

enum { kStillDistance = 4 };

// The gesture in progress on a tree view, if any.
struct PendingHold {
    HWND tree;
    POINT down; // client coordinates of the tree view
    UINT_PTR timer;
};

} // namespace

static PendingHold gHold;

static BOOL movedTooFar(POINT from, POINT to) {
    int dx = to.x - from.x;
    int dy = to.y - from.y;
    return dx > kStillDistance || dx < -kStillDistance || dy > kStillDistance ||
           dy < -kStillDistance;
}

static DWORD treeItemAt(HWND window, POINT client) {
    WCHAR className[32];
    if (!GetClassNameW(window, className, 32) || lstrcmpiW(className, WC_TREEVIEWW))
        return 0;
    TVHITTESTINFO hit = {};
    hit.pt = client;
    return (DWORD)(DWORD_PTR)SendMessageW(window, TVM_HITTEST, 0, (LPARAM)&hit);
}

static void notifyContextMenu(HWND client, HWND target, POINT clientPoint) {
    NMRGINFO info = {};
    info.hdr.hwndFrom = client;
    info.hdr.idFrom = (UINT_PTR)GetDlgCtrlID(client);
    info.hdr.code = GN_CONTEXTMENU;
    info.ptAction = clientPoint;
    ClientToScreen(client, &info.ptAction);
    info.dwItemSpec = treeItemAt(client, clientPoint);
    SendMessageW(target, WM_NOTIFY, info.hdr.idFrom, (LPARAM)&info);
}

DWORD SHRecognizeGesture(SHRGINFO* shrg) {
    if (!shrg || shrg->cbSize < sizeof(SHRGINFO) || !IsWindow(shrg->hwndClient))
        return 0;
    DWORD wait = (shrg->dwFlags & SHRG_LONGDELAY) ? kLongHoldMilliseconds : kHoldMilliseconds;
    DWORD start = GetTickCount();
    HWND client = shrg->hwndClient;
    SetCapture(client);
    BOOL held = TRUE;
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= wait)
            break;
        MSG msg;
        if (!PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, wait - elapsed, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam);
            held = FALSE;
            break;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN ||
            msg.message == WM_KEYDOWN || msg.message == WM_CAPTURECHANGED) {
            held = FALSE;
            break;
        }
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == client) {
            POINT at = {(short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam)};
            if (movedTooFar(shrg->ptDown, at)) {
                held = FALSE;
                break;
            }
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (GetCapture() == client)
        ReleaseCapture();
    if (!held)
        return 0;
    if (!(shrg->dwFlags & SHRG_RETURNCMD)) {
        HWND target = (shrg->dwFlags & SHRG_NOTIFYPARENT) ? GetParent(client) : client;
        notifyContextMenu(client, target ? target : client, shrg->ptDown);
    }
    return GN_CONTEXTMENU;
}

// ---- Tree views ------------------------------------------------------------
// The tree view runs its own loop on a button press (to tell a click from a
// drag), so the hold is timed by a thread timer that fires inside that loop.

static BOOL isTreeView(HWND window) {
    WCHAR className[32];
    return window && GetClassNameW(window, className, 32) && !lstrcmpiW(className, WC_TREEVIEWW);
}

static void endHold(void) {
    if (gHold.timer)
        KillTimer(NULL, gHold.timer);
    gHold.timer = 0;
    gHold.tree = NULL;
}

static void CALLBACK holdElapsed(HWND, UINT, UINT_PTR, DWORD) {
    HWND tree = gHold.tree;
    POINT down = gHold.down;
    endHold();
    if (tree && IsWindow(tree) && GetParent(tree))
        notifyContextMenu(tree, GetParent(tree), down);
}

static void watchTreeMessage(MSG* msg) {
    POINT at = {(short)LOWORD(msg->lParam), (short)HIWORD(msg->lParam)};
    switch (msg->message) {
    case WM_LBUTTONDOWN:
        endHold();
        gHold.tree = msg->hwnd;
        gHold.down = at;
        gHold.timer = SetTimer(NULL, 0, kHoldMilliseconds, holdElapsed);
        break;
    case WM_MOUSEMOVE:
        if (gHold.tree == msg->hwnd && movedTooFar(gHold.down, at))
            endHold();
        break;
    case WM_LBUTTONUP:
        endHold();
        break;
    case WM_RBUTTONDOWN:
        // The right button stands in for tap and hold: the tree view's own
        // right-click handling is left out.
        msg->message = WM_NULL;
        break;
    case WM_RBUTTONUP:
        msg->message = WM_NULL;
        if (GetParent(msg->hwnd))
            notifyContextMenu(msg->hwnd, GetParent(msg->hwnd), at);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK gestureMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    MSG* msg = (MSG*)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        if (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST && isTreeView(msg->hwnd))
            watchTreeMessage(msg);
        else if (msg->message == WM_LBUTTONUP || msg->message == WM_KEYDOWN)
            endHold(); // released or typed elsewhere: no hold
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
