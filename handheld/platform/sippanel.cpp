// The soft input panel: a small keyboard above the menu bar that types into
// the focused control. It never takes the focus itself.
#include "device.h"

enum { kRows = 5, kKeyHeight = 16, kMaxKeysPerRow = 12 };

// Key codes beyond characters.
enum { kKeyShift = 1, kKeyBack = 8, kKeyEnter = 13 };

struct SipKey {
    const WCHAR* label;
    WCHAR lower;
    WCHAR upper;
    int width; // in twentieths of the panel width
};

static const SipKey kKeyboard[kRows][kMaxKeysPerRow] = {
    {{L"1", '1', '!', 2},
     {L"2", '2', '@', 2},
     {L"3", '3', '#', 2},
     {L"4", '4', '$', 2},
     {L"5", '5', '%', 2},
     {L"6", '6', '^', 2},
     {L"7", '7', '&', 2},
     {L"8", '8', '*', 2},
     {L"9", '9', '(', 2},
     {L"0", '0', ')', 2}},
    {{L"q", 'q', 'Q', 2},
     {L"w", 'w', 'W', 2},
     {L"e", 'e', 'E', 2},
     {L"r", 'r', 'R', 2},
     {L"t", 't', 'T', 2},
     {L"y", 'y', 'Y', 2},
     {L"u", 'u', 'U', 2},
     {L"i", 'i', 'I', 2},
     {L"o", 'o', 'O', 2},
     {L"p", 'p', 'P', 2}},
    {{L"a", 'a', 'A', 2},
     {L"s", 's', 'S', 2},
     {L"d", 'd', 'D', 2},
     {L"f", 'f', 'F', 2},
     {L"g", 'g', 'G', 2},
     {L"h", 'h', 'H', 2},
     {L"j", 'j', 'J', 2},
     {L"k", 'k', 'K', 2},
     {L"l", 'l', 'L', 2},
     {L"\x2190", kKeyBack, kKeyBack, 2}},
    {{L"\x21E7", kKeyShift, kKeyShift, 3},
     {L"z", 'z', 'Z', 2},
     {L"x", 'x', 'X', 2},
     {L"c", 'c', 'C', 2},
     {L"v", 'v', 'V', 2},
     {L"b", 'b', 'B', 2},
     {L"n", 'n', 'N', 2},
     {L"m", 'm', 'M', 2},
     {L"\x21B5", kKeyEnter, kKeyEnter, 3}},
    {{L"-", '-', '_', 2},
     {L",", ',', ';', 2},
     {L".", '.', ':', 2},
     {L"", ' ', ' ', 10},
     {L"/", '/', '?', 2},
     {L"'", '\'', '"', 2}},
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
            const WCHAR* label = key->lower >= ' ' && key->lower != ' ' ? text : key->label;
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
    if (focus)
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
