// Modify Title: renames the document, which is the text of the tree's root
// node.
#include "itemdialogs.h"

#include "editorsheet.h"
#include "notemodel.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "treenode.h"
#include "widetext.h"

namespace {

enum { kTitleBoxChars = 80 };

} // namespace

static BOOL initTitleDialog(HWND dialog, ItemEditorContext* context) {
    SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)context);
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog,
                          SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&init);
    WCHAR title[kTitleBoxChars] = L"";
    if (context && context->treeView) {
        HTREEITEM root = TreeView_GetRoot(context->treeView);
        if (root)
            readNodeLabel(context->treeView, root, title, kTitleBoxChars);
    }
    SendDlgItemMessageW(dialog, IDC_TITLE_NAME, EM_LIMITTEXT, kTitleBoxChars, 0);
    SetDlgItemTextW(dialog, IDC_TITLE_NAME, title);
    return TRUE;
}

// The document keeps at most 63 characters; the root node shows exactly
// what the document keeps.
static void confirmTitle(HWND dialog, const ItemEditorContext* context) {
    WCHAR typed[kTitleBoxChars];
    GetDlgItemTextW(dialog, IDC_TITLE_NAME, typed, kTitleBoxChars);
    if (typed[0] == 0) {
        WCHAR caption[32];
        loadText(IDS_APP_TITLE, caption, 32);
        MessageBoxW(dialog, L"You must enter a name.", caption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    WCHAR title[kTitleChars];
    copyWideField((WideChar*)title, kTitleChars, (const WideChar*)typed, kTitleBoxChars);
    if (context && context->treeView) {
        HTREEITEM root = TreeView_GetRoot(context->treeView);
        if (root)
            setNodeLabel(context->treeView, root, title);
    }
    setTitle(&gList, (const WideChar*)title);
    gProgram.documentChanged = 1;
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK titleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    SHInputDialog(dialog, message, wParam);
    switch (message) {
    case WM_INITDIALOG:
        return initTitleDialog(dialog, (ItemEditorContext*)lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            confirmTitle(dialog, (const ItemEditorContext*)GetWindowLongPtrW(dialog, DWLP_USER));
        return TRUE; // there is no Cancel: other commands change nothing
    default:
        return FALSE;
    }
}

void runModifyTitleDialog(HWND mainWindow, ItemEditorContext* context) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MODIFY_TITLE), mainWindow,
                    titleDialogProc, (LPARAM)context);
}
