// The menu bar along the bottom of the device screen. The bar window holds a
// toolbar with the buttons and, at its right end, the SIP button. Toolbar
// messages sent to the bar go to the toolbar, so the program drives it with
// the same messages as on the device.
#include "device.h"

namespace {

enum {
    kMaxButtons = 16,
    kTipChars = 64,
    kCaptionChars = 32,
    kSipButtonWidth = 26,
    kToolbarId = 1,
    kSipButtonId = 2,
};

struct MenuBarButton {
    int command;
    HMENU popup;
};

struct MenuBarState {
    HWND owner; // receives the commands
    HWND toolbar;
    HWND sipButton;
    HMENU menu; // the menu the bar was built with; destroyed with the bar
    int buttonCount;
    MenuBarButton buttons[kMaxButtons];
    WCHAR tips[kMaxButtons][kTipChars]; // by button position
};

// One button as the menu-bar resource stores it: seven WORDs.
struct MenuBarResourceButton {
    WORD bitmap;
    WORD command;
    WORD state;
    WORD style;
    WORD stringId;
    WORD reserved;
    WORD submenu;
};

} // namespace

static MenuBarState* barState(HWND bar) {
    return (MenuBarState*)GetWindowLongPtrW(bar, GWLP_USERDATA);
}

static MenuBarButton* findButton(MenuBarState* state, int command) {
    for (int i = 0; i < state->buttonCount; i++) {
        if (state->buttons[i].command == command)
            return &state->buttons[i];
    }
    return NULL;
}

static BOOL addButton(MenuBarState* state, int bitmap, int command, BYTE tbState, BYTE style,
                      const WCHAR* caption, HMENU popup) {
    if (state->buttonCount >= kMaxButtons)
        return FALSE;
    TBBUTTON button = {};
    button.iBitmap = bitmap;
    button.idCommand = command;
    button.fsState = tbState;
    button.fsStyle = style;
    button.iString = caption ? (INT_PTR)caption : -1;
    if (!SendMessageW(state->toolbar, TB_ADDBUTTONSW, 1, (LPARAM)&button))
        return FALSE;
    state->buttons[state->buttonCount].command = command;
    state->buttons[state->buttonCount].popup = popup;
    state->buttonCount++;
    return TRUE;
}

// The bar's buttons from the menu-bar resource of the given id.
static BOOL addResourceButtons(MenuBarState* state, HINSTANCE instance, UINT id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), (LPCWSTR)RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(instance, found) : NULL;
    const WORD* words = loaded ? (const WORD*)LockResource(loaded) : NULL;
    DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!words || size < 2 * sizeof(WORD))
        return FALSE;
    WORD menuId = words[0];
    WORD count = words[1];
    if (count > kMaxButtons || size < (2 + 7 * (DWORD)count) * sizeof(WORD))
        return FALSE;
    state->menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    const MenuBarResourceButton* entries = (const MenuBarResourceButton*)(words + 2);
    for (int i = 0; i < count; i++) {
        const MenuBarResourceButton* entry = &entries[i];
        HMENU popup = NULL;
        if (entry->submenu != NOMENU) {
            popup = state->menu ? GetSubMenu(state->menu, entry->submenu) : NULL;
            if (!popup)
                return FALSE;
        }
        WCHAR caption[kCaptionChars] = L"";
        BOOL hasCaption =
            entry->stringId && LoadStringW(instance, entry->stringId, caption, kCaptionChars) > 0;
        if (!addButton(state, (short)entry->bitmap, entry->command, (BYTE)entry->state,
                       (BYTE)entry->style, hasCaption ? caption : NULL, popup))
            return FALSE;
    }
    return TRUE;
}

// The bar's buttons from a menu's top-level entries: popups drop down.
static BOOL addMenuButtons(MenuBarState* state, HINSTANCE instance, UINT id) {
    state->menu = LoadMenuW(instance, MAKEINTRESOURCEW(id));
    if (!state->menu)
        return FALSE;
    int count = GetMenuItemCount(state->menu);
    for (int i = 0; i < count; i++) {
        WCHAR caption[kCaptionChars] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = kCaptionChars;
        if (!GetMenuItemInfoW(state->menu, i, TRUE, &info))
            return FALSE;
        BYTE style = BTNS_AUTOSIZE | (info.hSubMenu ? BTNS_DROPDOWN : 0);
        int command = info.hSubMenu ? 0xFF00 + i : (int)info.wID;
        if (!addButton(state, I_IMAGENONE, command, TBSTATE_ENABLED, style, caption, info.hSubMenu))
            return FALSE;
    }
    return TRUE;
}

static void dropDown(HWND bar, MenuBarState* state, const NMTOOLBARW* request) {
    MenuBarButton* button = findButton(state, request->iItem);
    if (!button || !button->popup || !IsWindowEnabled(state->owner))
        return;
    RECT rect;
    SendMessageW(state->toolbar, TB_GETRECT, request->iItem, (LPARAM)&rect);
    MapWindowPoints(state->toolbar, NULL, (POINT*)&rect, 2);
    SendMessageW(state->toolbar, TB_PRESSBUTTON, request->iItem, TRUE);
    TrackPopupMenuEx(button->popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN, rect.left, rect.top,
                     state->owner, NULL);
    SendMessageW(state->toolbar, TB_PRESSBUTTON, request->iItem, FALSE);
}

static void copyTip(MenuBarState* state, int command, WCHAR* text, int chars) {
    int position = (int)SendMessageW(state->toolbar, TB_COMMANDTOINDEX, command, 0);
    if (position >= 0 && position < kMaxButtons && chars > 0)
        lstrcpynW(text, state->tips[position], chars);
}

static LRESULT onBarNotify(HWND bar, const NMHDR* header) {
    MenuBarState* state = barState(bar);
    if (!state)
        return 0;
    switch (header->code) {
    case TBN_DROPDOWN:
        dropDown(bar, state, (const NMTOOLBARW*)header);
        return TBDDRET_DEFAULT;
    case TBN_GETINFOTIPW: {
        NMTBGETINFOTIPW* tip = (NMTBGETINFOTIPW*)header;
        copyTip(state, tip->iItem, tip->pszText, tip->cchTextMax);
        return 0;
    }
    case TTN_GETDISPINFOW: {
        NMTTDISPINFOW* info = (NMTTDISPINFOW*)header;
        copyTip(state, (int)info->hdr.idFrom, info->szText, 80);
        return 0;
    }
    default:
        return 0;
    }
}

static LRESULT onBarCommand(HWND bar, WPARAM wParam, LPARAM lParam) {
    MenuBarState* state = barState(bar);
    if (!state)
        return 0;
    if ((HWND)lParam == state->sipButton) {
        SipShowIM(gDevice.sipUp ? SIPF_OFF : SIPF_ON);
        return 0;
    }
    MenuBarButton* button = findButton(state, LOWORD(wParam));
    if (button && button->popup)
        return 0; // the drop-down already showed the popup
    if (!IsWindowEnabled(state->owner))
        return 0; // a modal dialog of the owner is up
    return SendMessageW(state->owner, WM_COMMAND, wParam, (LPARAM)bar);
}

static LRESULT setTips(MenuBarState* state, WPARAM count, LPARAM lParam) {
    const LPCWSTR* strings = (const LPCWSTR*)lParam;
    for (int i = 0; i < kMaxButtons; i++) {
        LPCWSTR text = strings && i < (int)count ? strings[i] : NULL;
        lstrcpynW(state->tips[i], text ? text : L"", kTipChars);
    }
    return TRUE;
}

static LRESULT setSubMenu(MenuBarState* state, int command, HMENU popup) {
    MenuBarButton* button = findButton(state, command);
    if (!button)
        return 0;
    HMENU old = button->popup;
    button->popup = popup;
    return (LRESULT)old;
}

// Buttons the program adds are sized to their content like the resource's,
// so that the bar's buttons stay narrow enough to fit the device's width.
static LRESULT addAutosizedButtons(MenuBarState* state, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    const TBBUTTON* given = (const TBBUTTON*)lParam;
    int count = (message == TB_ADDBUTTONSW || message == TB_ADDBUTTONSA) ? (int)wParam : 1;
    if (!given || count <= 0 || count > kMaxButtons)
        return SendMessageW(state->toolbar, message, wParam, lParam);
    TBBUTTON buttons[kMaxButtons];
    for (int i = 0; i < count; i++) {
        buttons[i] = given[i];
        if (!(buttons[i].fsStyle & BTNS_SEP))
            buttons[i].fsStyle |= BTNS_AUTOSIZE;
    }
    return SendMessageW(state->toolbar, message, wParam, (LPARAM)buttons);
}

// A disabled image button shows its picture greyed as the device greys a
// bitmap: every pixel that is neither the picture's grey background nor
// white becomes part of an etched shape, highlight below and right,
// shadow on top; the rest stays transparent. Rebuilt from the bar's images
// whenever images are added.
static void greyOneImage(HIMAGELIST source, int index, HIMAGELIST target, int cx, int cy) {
    const COLORREF kFace = RGB(192, 192, 192);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    DWORD* pixels = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void**)&pixels, NULL, 0);
    int rowBytes = (cx + 15) / 16 * 2;
    BYTE* maskBits = (BYTE*)LocalAlloc(LPTR, (SIZE_T)rowBytes * cy);
    BOOL* shape = (BOOL*)LocalAlloc(LPTR, sizeof(BOOL) * cx * cy);
    if (!dc || !picture || !maskBits || !shape) {
        ImageList_SetImageCount(target, (UINT)(index + 1));
    } else {
        HGDIOBJ old = SelectObject(dc, picture);
        RECT all = {0, 0, cx, cy};
        HBRUSH face = CreateSolidBrush(kFace);
        FillRect(dc, &all, face);
        DeleteObject(face);
        ImageList_Draw(source, index, dc, 0, 0, ILD_NORMAL);
        GdiFlush();
        for (int i = 0; i < cx * cy; i++) {
            DWORD p = pixels[i] & 0xFFFFFF;
            shape[i] = p != 0xC0C0C0 && p != 0xFFFFFF;
        }
        DWORD shadow = GetSysColor(COLOR_3DSHADOW), light = GetSysColor(COLOR_3DHILIGHT);
        DWORD shadowPixel = GetRValue(shadow) << 16 | GetGValue(shadow) << 8 | GetBValue(shadow);
        DWORD lightPixel = GetRValue(light) << 16 | GetGValue(light) << 8 | GetBValue(light);
        for (int y = 0; y < cy; y++) {
            for (int x = 0; x < cx; x++) {
                BOOL lit = x > 0 && y > 0 && shape[(y - 1) * cx + x - 1];
                BOOL dark = shape[y * cx + x];
                pixels[y * cx + x] = dark ? shadowPixel : lit ? lightPixel : 0;
                if (!dark && !lit)
                    maskBits[y * rowBytes + x / 8] |= (BYTE)(0x80 >> (x % 8));
            }
        }
        SelectObject(dc, old);
        HBITMAP mask = CreateBitmap(cx, cy, 1, 1, maskBits);
        if (!mask || ImageList_Add(target, picture, mask) < 0)
            ImageList_SetImageCount(target, (UINT)(index + 1));
        if (mask)
            DeleteObject(mask);
    }
    LocalFree(shape);
    LocalFree(maskBits);
    if (picture)
        DeleteObject(picture);
    if (dc)
        DeleteDC(dc);
}

static void greyImages(MenuBarState* state) {
    HIMAGELIST images = (HIMAGELIST)SendMessageW(state->toolbar, TB_GETIMAGELIST, 0, 0);
    int cx = 0, cy = 0;
    if (!images || !ImageList_GetIconSize(images, &cx, &cy))
        return;
    int count = ImageList_GetImageCount(images);
    HIMAGELIST greyed = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, count, 1);
    if (!greyed)
        return;
    for (int i = 0; i < count; i++)
        greyOneImage(images, i, greyed, cx, cy);
    HIMAGELIST old =
        (HIMAGELIST)SendMessageW(state->toolbar, TB_SETDISABLEDIMAGELIST, 0, (LPARAM)greyed);
    if (old)
        ImageList_Destroy(old);
}

static LRESULT addBitmap(MenuBarState* state, WPARAM wParam, LPARAM lParam) {
    LRESULT first = SendMessageW(state->toolbar, TB_ADDBITMAP, wParam, lParam);
    if (first >= 0)
        greyImages(state);
    return first;
}

static void layoutBar(HWND bar) {
    MenuBarState* state = barState(bar);
    if (!state)
        return;
    RECT client;
    GetClientRect(bar, &client);
    int sipWidth = state->sipButton ? kSipButtonWidth : 0;
    MoveWindow(state->toolbar, 0, 1, client.right - sipWidth, client.bottom - 1, TRUE);
    if (state->sipButton)
        MoveWindow(state->sipButton, client.right - sipWidth, 1, sipWidth, client.bottom - 1, TRUE);
}

// The SIP button shows a small keyboard.
static void drawSipButton(const DRAWITEMSTRUCT* draw) {
    drawSipGlyph(draw->hDC, draw->rcItem, (draw->itemState & ODS_SELECTED) != 0);
}

static void onBarDestroy(HWND bar) {
    MenuBarState* state = barState(bar);
    SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
    if (!state)
        return;
    if (state->menu)
        DestroyMenu(state->menu);
    HIMAGELIST greyed = (HIMAGELIST)SendMessageW(state->toolbar, TB_SETDISABLEDIMAGELIST, 0, 0);
    if (greyed)
        ImageList_Destroy(greyed);
    LocalFree(state);
}

LRESULT CALLBACK menuBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    MenuBarState* state = barState(bar);
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // the application window keeps the focus
    case WM_SIZE:
        layoutBar(bar);
        return 0;
    case WM_NOTIFY:
        return onBarNotify(bar, (const NMHDR*)lParam);
    case WM_COMMAND:
        return onBarCommand(bar, wParam, lParam);
    case WM_DRAWITEM:
        drawSipButton((const DRAWITEMSTRUCT*)lParam);
        return TRUE;
    case WM_DESTROY:
        onBarDestroy(bar);
        return 0;
    case SHCMBM_GETSUBMENU: {
        MenuBarButton* button = state ? findButton(state, (int)lParam) : NULL;
        return button ? (LRESULT)button->popup : 0;
    }
    case SHCMBM_GETMENU:
        return state ? (LRESULT)state->menu : 0;
    case SHCMBM_SETSUBMENU:
        return state ? setSubMenu(state, (int)wParam, (HMENU)lParam) : 0;
    case TB_SETTOOLTIPS:
        return state ? setTips(state, wParam, lParam) : 0;
    case TB_ADDBITMAP:
        return state ? addBitmap(state, wParam, lParam) : -1;
    case TB_ADDBUTTONSW:
    case TB_ADDBUTTONSA:
    case TB_INSERTBUTTONW:
    case TB_INSERTBUTTONA:
        return state ? addAutosizedButtons(state, message, wParam, lParam) : 0;
    default:
        if (state && message >= WM_USER && message < WM_USER + 0x200)
            return SendMessageW(state->toolbar, message, wParam, lParam);
        return DefWindowProcW(bar, message, wParam, lParam);
    }
}

static HWND createToolbar(HWND bar, HINSTANCE instance) {
    HWND toolbar =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS |
                            CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                        0, 0, 0, 0, bar, (HMENU)(INT_PTR)kToolbarId, instance, NULL);
    if (!toolbar)
        return NULL;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    // Narrow buttons, as on the device: three captions and two images fit.
    SendMessageW(toolbar, TB_SETPADDING, 0, MAKELPARAM(8, 4));
    SendMessageW(toolbar, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    return toolbar;
}

// A top-level window that gets a menu bar is the application's window: it
// takes the device screen between the navigation bar and the menu bar.
static void adoptApplicationWindow(HWND window) {
    if (GetParent(window) || (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        return;
    RECT current;
    GetWindowRect(window, &current);
    RECT place = visibleDesktop();
    place.right = place.left + (current.right - current.left);
    place.bottom = place.top + (current.bottom - current.top);
    fitToDevice(window, place);
    showNavBar();
    refreshNavBar(window);
}

static BOOL fillBar(MenuBarState* state, const SHMENUBARINFO* info) {
    if (info->dwFlags & SHCMBF_EMPTYBAR)
        return TRUE;
    if (info->dwFlags & SHCMBF_HMENU)
        return addMenuButtons(state, info->hInstRes, info->nToolBarId);
    if (!addResourceButtons(state, info->hInstRes, info->nToolBarId))
        return FALSE;
    if (info->nBmpId && info->cBmpImages > 0) {
        TBADDBITMAP bitmap = {info->hInstRes, (UINT_PTR)info->nBmpId};
        if (addBitmap(state, info->cBmpImages, (LPARAM)&bitmap) < 0)
            return FALSE;
    }
    return TRUE;
}

BOOL SHCreateMenuBar(SHMENUBARINFO* pmbi) {
    if (!pmbi || pmbi->cbSize < sizeof(SHMENUBARINFO) || !IsWindow(pmbi->hwndParent) ||
        !ensureDevice()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pmbi->hwndMB = NULL;
    HINSTANCE instance = GetModuleHandleW(NULL);
    MenuBarState* state = (MenuBarState*)LocalAlloc(LPTR, sizeof(MenuBarState));
    if (!state)
        return FALSE;
    state->owner = pmbi->hwndParent;
    RECT band = deviceBand(kDeviceHeight - kMenuBarHeight, kMenuBarHeight);
    HWND bar =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MENUBAR_CLASS, L"",
                        WS_POPUP | WS_CLIPCHILDREN, band.left, band.top, band.right - band.left,
                        band.bottom - band.top, pmbi->hwndParent, NULL, instance, NULL);
    if (!bar) {
        LocalFree(state);
        return FALSE;
    }
    SetWindowLongPtrW(bar, GWLP_USERDATA, (LONG_PTR)state); // freed by the bar from here on
    state->toolbar = createToolbar(bar, instance);
    if (!(pmbi->dwFlags & SHCMBF_HIDESIPBUTTON))
        state->sipButton =
            CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0,
                            bar, (HMENU)(INT_PTR)kSipButtonId, instance, NULL);
    if (!state->toolbar || !fillBar(state, pmbi)) {
        DestroyWindow(bar);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return FALSE;
    }
    layoutBar(bar);
    adoptApplicationWindow(pmbi->hwndParent);
    if (!(pmbi->dwFlags & SHCMBF_HIDDEN))
        ShowWindow(bar, SW_SHOWNOACTIVATE);
    pmbi->hwndMB = bar;
    return TRUE;
}
