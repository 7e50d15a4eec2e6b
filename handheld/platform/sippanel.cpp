// The soft input panel: a small keyboard above the menu bar that types into
// the focused control. It never takes the focus itself.
#include "device.h"

namespace {

enum { kRows = 5, kKeyHeight = 16, kMaxKeysPerRow = 12 };

// Key codes beyond characters.
enum { kKeyShift = 1, kKeyBack = 8, kKeyEnter = 13 };

struct SipKey {
    const WCHAR* label; // drawn when the font has its glyphs, else fallback
    const WCHAR* fallback;
    WCHAR lower;
    WCHAR upper;
    int width; // in twentieths of the panel width
};

} // namespace

static const SipKey kKeyboard[kRows][kMaxKeysPerRow] = {
    {{L"1", NULL, '1', '!', 2},
     {L"2", NULL, '2', '@', 2},
     {L"3", NULL, '3', '#', 2},
     {L"4", NULL, '4', '$', 2},
     {L"5", NULL, '5', '%', 2},
     {L"6", NULL, '6', '^', 2},
     {L"7", NULL, '7', '&', 2},
     {L"8", NULL, '8', '*', 2},
     {L"9", NULL, '9', '(', 2},
     {L"0", NULL, '0', ')', 2}},
    {{L"q", NULL, 'q', 'Q', 2},
     {L"w", NULL, 'w', 'W', 2},
     {L"e", NULL, 'e', 'E', 2},
     {L"r", NULL, 'r', 'R', 2},
     {L"t", NULL, 't', 'T', 2},
     {L"y", NULL, 'y', 'Y', 2},
     {L"u", NULL, 'u', 'U', 2},
     {L"i", NULL, 'i', 'I', 2},
     {L"o", NULL, 'o', 'O', 2},
     {L"p", NULL, 'p', 'P', 2}},
    {{L"a", NULL, 'a', 'A', 2},
     {L"s", NULL, 's', 'S', 2},
     {L"d", NULL, 'd', 'D', 2},
     {L"f", NULL, 'f', 'F', 2},
     {L"g", NULL, 'g', 'G', 2},
     {L"h", NULL, 'h', 'H', 2},
     {L"j", NULL, 'j', 'J', 2},
     {L"k", NULL, 'k', 'K', 2},
     {L"l", NULL, 'l', 'L', 2},
     {L"\x2190", L"<-", kKeyBack, kKeyBack, 2}},
    {{L"\x21E7", L"Shift", kKeyShift, kKeyShift, 3},
     {L"z", NULL, 'z', 'Z', 2},
     {L"x", NULL, 'x', 'X', 2},
     {L"c", NULL, 'c', 'C', 2},
     {L"v", NULL, 'v', 'V', 2},
     {L"b", NULL, 'b', 'B', 2},
     {L"n", NULL, 'n', 'N', 2},
     {L"m", NULL, 'm', 'M', 2},
     {L"\x21B5", L"Enter", kKeyEnter, kKeyEnter, 3}},
    {{L"-", NULL, '-', '_', 2},
     {L",", NULL, ',', ';', 2},
     {L".", NULL, '.', ':', 2},
     {L"", NULL, ' ', ' ', 10},
     {L"/", NULL, '/', '?', 2},
     {L"'", NULL, '\'', '"', 2}},
};

static BOOL gShift;

static RECT keyRect(RECT client, int row, int column) {
    int width = client.right - client.left;
    int left = 0;
    for (int i = 0; i < column; i++)
        left += kKeyboard[row][i].width;
    RECT key;
    SetRect(&key, client.left + left * width / 20, client.top + row * kKeyHeight,
            client.left + (left + kKeyboard[row][column].width) * width / 20,
            client.top + (row + 1) * kKeyHeight);
    return key;
}

static const SipKey* keyAt(HWND panel, POINT at) {
    RECT client;
    GetClientRect(panel, &client);
    for (int row = 0; row < kRows; row++) {
        for (int column = 0; column < kMaxKeysPerRow && kKeyboard[row][column].label; column++) {
            RECT key = keyRect(client, row, column);
            if (PtInRect(&key, at))
                return &kKeyboard[row][column];
        }
    }
    return NULL;
}

// Fonts without a character draw an empty box in its place.
static BOOL fontHasGlyphs(HDC dc, const WCHAR* text) {
    WORD glyphs[8];
    int length = lstrlenW(text);
    if (length > 8 ||
        GetGlyphIndicesW(dc, text, length, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return FALSE;
    for (int i = 0; i < length; i++) {
        if (glyphs[i] == 0xFFFF)
            return FALSE;
    }
    return TRUE;
}

static void paintPanel(HWND panel) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(panel, &ps);
    RECT client;
    GetClientRect(panel, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (int row = 0; row < kRows; row++) {
        for (int column = 0; column < kMaxKeysPerRow && kKeyboard[row][column].label; column++) {
            const SipKey* key = &kKeyboard[row][column];
            RECT r = keyRect(client, row, column);
            BOOL lit = key->lower == kKeyShift && gShift;
            FillRect(dc, &r, GetSysColorBrush(lit ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
            WCHAR text[2] = {gShift ? key->upper : key->lower, 0};
            const WCHAR* label = key->lower > ' ' ? text : key->label;
            if (key->fallback && !fontHasGlyphs(dc, label))
                label = key->fallback;
            DrawTextW(dc, label, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(panel, &ps);
}

static void typeKey(HWND panel, const SipKey* key) {
    if (key->lower == kKeyShift) {
        gShift = !gShift;
        InvalidateRect(panel, NULL, TRUE);
        return;
    }
    HWND focus = GetFocus();
    WCHAR rootClass[16] = L"";
    GetClassNameW(GetAncestor(focus, GA_ROOT), rootClass, 16);
    if (focus && key->lower == kKeyEnter && !lstrcmpW(rootClass, L"#32770")) {
        // In a dialog Enter is a key, so that it presses the default button.
        PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC01C0001);
    } else if (focus)
        PostMessageW(focus, WM_CHAR, gShift ? key->upper : key->lower, 1);
    if (gShift) {
        gShift = FALSE;
        InvalidateRect(panel, NULL, TRUE);
    }
}

LRESULT CALLBACK sipPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_PAINT:
        paintPanel(panel);
        return 0;
    case WM_LBUTTONDOWN: {
        POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        const SipKey* key = keyAt(panel, at);
        if (key)
            typeKey(panel, key);
        return 0;
    }
    case WM_DESTROY:
        gDevice.sipPanel = NULL;
        return 0;
    default:
        return DefWindowProcW(panel, message, wParam, lParam);
    }
}

void showSipPanel(BOOL up) {
    if (!up) {
        if (gDevice.sipPanel)
            ShowWindow(gDevice.sipPanel, SW_HIDE);
        return;
    }
    RECT place = sipRect();
    if (!gDevice.sipPanel)
        gDevice.sipPanel = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
                                           SIPPANEL_CLASS, L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                           NULL, NULL, GetModuleHandleW(NULL), NULL);
    if (!gDevice.sipPanel)
        return;
    SetWindowPos(gDevice.sipPanel, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// ---- The floating SIP button -----------------------------------------------

void drawSipGlyph(HDC dc, RECT r, BOOL pressed) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed)
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
    RECT keys;
    SetRect(&keys, r.left + 4, r.top + 7, r.right - 4, r.bottom - 6);
    FrameRect(dc, &keys, black);
    for (int row = 0; row < 2; row++) {
        for (int x = keys.left + 2; x + 2 < keys.right; x += 3) {
            RECT key;
            SetRect(&key, x, keys.top + 2 + row * 3, x + 2, keys.top + 4 + row * 3);
            FillRect(dc, &key, black);
        }
    }
    RECT space;
    SetRect(&space, keys.left + 4, keys.bottom - 3, keys.right - 4, keys.bottom - 2);
    FillRect(dc, &space, black);
}

static HWND gSipButton;

LRESULT CALLBACK sipButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // the dialog keeps the focus
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(button, &ps);
        RECT client;
        GetClientRect(button, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        client.left = client.right - kMenuBarHeight;
        drawSipGlyph(dc, client, gDevice.sipUp);
        EndPaint(button, &ps);
        return 0;
    }
    case WM_LBUTTONUP: {
        RECT client;
        GetClientRect(button, &client);
        if ((short)LOWORD(lParam) >= client.right - kMenuBarHeight)
            SipShowIM(gDevice.sipUp ? SIPF_OFF : SIPF_ON);
        return 0;
    }
    case WM_DESTROY:
        gSipButton = NULL;
        return 0;
    default:
        return DefWindowProcW(button, message, wParam, lParam);
    }
}

void refreshSipButton(HWND active) {
    BOOL wanted = active && IsWindow(active) && GetPropW(active, FULL_SCREEN_PROP) != NULL;
    if (!wanted) {
        if (gSipButton)
            ShowWindow(gSipButton, SW_HIDE);
        return;
    }
    // With the SIP down the button keeps to the corner of the dialog; with
    // it up the dialog ends above the SIP and the button becomes a bar of
    // its own across the bottom, as an empty menu bar, so that the
    // application's menu bar does not show through below the SIP.
    RECT band = deviceBand(kDeviceHeight - kMenuBarHeight, kMenuBarHeight);
    if (!gDevice.sipUp)
        band.left = band.right - kMenuBarHeight;
    if (!gSipButton)
        gSipButton =
            CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, SIPBUTTON_CLASS,
                            L"", WS_POPUP, 0, 0, 0, 0, NULL, NULL, GetModuleHandleW(NULL), NULL);
    if (gSipButton) {
        // Without a window manager a window that is activated rises above
        // the topmost ones too; shown again, the button is on top.
        ShowWindow(gSipButton, SW_HIDE);
        SetWindowPos(gSipButton, HWND_TOPMOST, band.left, band.top, band.right - band.left,
                     band.bottom - band.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        InvalidateRect(gSipButton, NULL, TRUE);
    }
}

void raiseSipPanel(void) {
    if (!gDevice.sipUp || !gDevice.sipPanel)
        return;
    ShowWindow(gDevice.sipPanel, SW_HIDE);
    showSipPanel(TRUE);
}
