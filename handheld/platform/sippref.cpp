// The SIPPREF control: a hidden child of a dialog that raises the SIP when
// one of the dialog's edit controls (an editable combo box's among them)
// gets the focus and lowers it when the focus moves to a control that takes
// no text. The layer's focus hook tells it of every focus move; it decides
// once the move is done, when the focus is known.
#include "device.h"

namespace {

enum { kFocusMoved = WM_APP + 1 };

} // namespace

static BOOL isClass(HWND window, LPCWSTR name) {
    WCHAR className[32];
    return GetClassNameW(window, className, 32) && !lstrcmpiW(className, name);
}

static BOOL takesText(HWND control) {
    LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (isClass(control, L"Edit"))
        return !(style & ES_READONLY);
    if (isClass(control, L"ComboBox"))
        return (style & 3) != CBS_DROPDOWNLIST;
    return FALSE;
}

// The nearest SIPPREF among the siblings of the focus or of its ancestors:
// a combo box's edit field belongs to the combo box's dialog.
static HWND prefFor(HWND focus) {
    for (HWND window = GetParent(focus); window; window = GetParent(window)) {
        HWND pref = FindWindowExW(window, NULL, SIPPREF_CLASS, NULL);
        if (pref)
            return pref;
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    return NULL;
}

void noteFocusChange(HWND focus) {
    HWND pref = prefFor(focus);
    if (pref)
        PostMessageW(pref, kFocusMoved, 0, 0);
}

static void onFocusMoved(HWND pref) {
    HWND focus = GetFocus();
    HWND dialog = GetParent(pref);
    if (!focus || !dialog || !IsChild(dialog, focus))
        return;
    SipShowIM(takesText(focus) ? SIPF_ON : SIPF_OFF);
    revealControl(focus);
}

LRESULT CALLBACK sipPrefProc(HWND pref, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kFocusMoved) {
        onFocusMoved(pref);
        return 0;
    }
    return DefWindowProcW(pref, message, wParam, lParam);
}
