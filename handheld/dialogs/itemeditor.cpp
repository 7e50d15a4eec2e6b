// The item editor: a full-screen property sheet with the General and Details
// pages over one shared record, and the launcher that owns the work item.
#include "editorsheet.h"

#include "notemodel.h"
#include "pocketpc.h"
#include "resource.h"
#include "treefill.h"

#include <string.h>

namespace {

enum { kHeaderFlags = 0x2188, kControlVersion = 0x20C };

} // namespace

// The sheet asks which control version the program was built for.
static int CALLBACK editorSheetCallback(HWND, UINT message, LPARAM) {
    return message == PSCB_GETVERSION ? kControlVersion : 0;
}

void loadText(UINT id, WCHAR* text, int textChars) {
    text[0] = 0;
    if (LoadStringW(GetModuleHandleW(nullptr), id, text, textChars) <= 0)
        text[0] = 0;
}

void openEditorHelp() {
    launchProgram(L"peghelp.exe", L"Twigmark.htm#addnew");
}

static INT_PTR showEditorSheet(HWND mainWindow, EditorSheet* sheet) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WCHAR caption[32];
    loadText(IDS_EDIT_ITEM, caption, 32);
    PROPSHEETPAGEW pages[2];
    memset(pages, 0, sizeof pages);
    static const UINT kTemplates[2] = {IDD_GENERAL, IDD_DETAILS};
    static const DLGPROC kProcs[2] = {generalPageProc, detailsPageProc};
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(kTemplates[i]);
        pages[i].pfnDlgProc = kProcs[i];
        pages[i].lParam = (LPARAM)&sheet->context;
    }
    PROPSHEETHEADERW header;
    memset(&header, 0, sizeof header);
    header.dwSize = sizeof header;
    header.dwFlags = kHeaderFlags;
    header.hwndParent = mainWindow;
    header.hInstance = instance;
    header.pszCaption = caption;
    header.nPages = 2;
    header.nStartPage = 0;
    header.ppsp = pages;
    header.pfnCallback = editorSheetCallback;
    return PropertySheetW(&header);
}

int openItemEditor(HWND mainWindow, HWND treeView, HWND notePane, int isNew) {
    NoteItem* work = (NoteItem*)modelAlloc(sizeof(NoteItem));
    if (!work)
        return 0;
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    EditorSheet sheet;
    memset(&sheet, 0, sizeof sheet);
    sheet.context.isNew = isNew ? 1 : 0;
    sheet.context.treeView = treeView;
    sheet.context.notePane = notePane;
    sheet.context.workItem = work;
    sheet.selected = TreeView_GetSelection(treeView);
    if (!sheet.selected)
        sheet.selected = TreeView_GetRoot(treeView);
    sheet.item = nodeItem(treeView, sheet.selected);
    if (!isNew && !sheet.item) {
        // Only an item can be modified here; the root has its own dialog.
        modelFree(work);
        return 0;
    }

    showEditorSheet(mainWindow, &sheet);

    if (isNew && work->name[0] == 0) {
        modelFree(work->note);
        modelFree(work);
        return 0;
    }
    // A created item's note now belongs to its record.
    modelFree(work);
    return 1;
}
