// About: the program's icon, name and version.
#include "itemdialogs.h"

#include "pocketpc.h"
#include "resource.h"

static INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        SHINITDLGINFO init = {SHIDIM_FLAGS, dialog,
                              SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
        SHInitDialog(&init);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

void runAboutDialog(HWND mainWindow) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), mainWindow,
                    aboutDialogProc, 0);
}
