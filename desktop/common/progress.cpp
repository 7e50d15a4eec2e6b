#include "progress.h"

#include "dialogs.h"

#include <commctrl.h>

namespace {

struct ProgressDialog {
    ProgressWork work;
    void* context;
};

} // namespace

static INT_PTR CALLBACK progressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        centreDialog(dialog);
        PostMessageA(dialog, WM_START_WORK, 0, 0);
        return TRUE;
    case WM_START_WORK: {
        ProgressDialog* state = (ProgressDialog*)GetWindowLongPtrA(dialog, DWLP_USER);
        EndDialog(dialog, state->work(dialog, state->context));
        return TRUE;
    }
    }
    return FALSE;
}

INT_PTR runProgressDialog(HINSTANCE instance, ProgressWork work, void* context) {
    ProgressDialog state = {work, context};
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, progressProc,
                           (LPARAM)&state);
}

long startProgress(HWND dialog, HINSTANCE instance, const SetupScript* script, UINT damagedTextId,
                   const char* caption, long closingSteps) {
    long count = readCount(script);
    if (count > kMaxEntryCount) {
        showStringMessage(instance, damagedTextId, caption, MB_ICONSTOP);
        return -1;
    }
    if (count < 0)
        count = 0;
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                        MAKELPARAM(0, count + closingSteps));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    return count;
}

// Runs the messages waiting now, so that a long script leaves the dialog
// (and every other window of the thread) answering: it can be moved and
// repainted, and the system never takes it for hung. The dialog has no
// button and no close box, so nothing here can end it early; a quit
// message is put back for the loop that owns it.
static void pumpMessages(HWND dialog) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage((int)message.wParam);
            return;
        }
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void workThroughEntries(HWND dialog, const SetupScript* script, long count, EntryWork work,
                        void* context) {
    for (long n = 1; n <= count; ++n) {
        char entry[kPathSize];
        readEntry(script, n, entry);
        SetDlgItemTextA(dialog, IDC_PROGRESS_ENTRY, entry);
        UpdateWindow(dialog);
        work(dialog, context, entry);
        stepProgress(dialog);
        pumpMessages(dialog);
    }
}

void setProgressText(HWND dialog, const char* label, const char* entry) {
    SetDlgItemTextA(dialog, IDC_PROGRESS_LABEL, label);
    SetDlgItemTextA(dialog, IDC_PROGRESS_ENTRY, entry);
}

void stepProgress(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}
