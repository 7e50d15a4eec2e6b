#include "commands.h"

#include "itemdialogs.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "treefill.h"

FindCriteria* gFindCriteria = nullptr;

static void switchView(int viewMode) {
    gOptions.viewMode = viewMode;
    fillTree(gProgram.treeView);
}

static void toggleHideNoteWindow(HWND mainWindow) {
    gOptions.hideNoteWindow = !gOptions.hideNoteWindow;
    HMENU view = menuBarPopup(IDM_VIEW);
    if (view)
        CheckMenuItem(view, IDM_HIDE_NOTE_WINDOW,
                      MF_BYCOMMAND | (gOptions.hideNoteWindow ? MF_CHECKED : MF_UNCHECKED));
    layoutMainWindow(mainWindow);
}

bool onCommand(HWND mainWindow, UINT command) {
    switch (command) {
    case IDM_VIEW_DEFAULT:
    case IDM_VIEW_CATEGORY:
    case IDM_VIEW_DATE:
    case IDM_VIEW_PRIORITY:
        switchView((int)(command - IDM_VIEW_DEFAULT));
        return true;
    case IDM_HIDE_CHECKED:
        gOptions.hideChecked = !gOptions.hideChecked;
        fillTree(gProgram.treeView);
        updateViewMenuChecks();
        return true;
    case IDM_HIDE_NOTE_WINDOW:
        toggleHideNoteWindow(mainWindow);
        return true;
    case IDM_NEW_ITEM:
    case IDM_MODIFY_ITEM:
    case IDM_DELETE_ITEM:
    case 103: // Create Copy
    case IDM_ASCENDING:
    case IDM_DESCENDING:
    case IDM_FIND_ITEM:
    case IDM_FIND_AGAIN:
    case IDM_NEW_FILE:
    case IDM_OPEN:
    case IDM_SAVE_AS:
    case IDM_ABOUT:
        return true;
    default:
        break;
    }
    if (command >= 40100 && command <= 40109)
        return true; // priority
    if (command >= IDS_ICON_NAME_FIRST && command <= IDS_ICON_NAME_LAST)
        return true; // icon
    if (command >= IDM_ARRANGE_FIRST && command <= IDM_ARRANGE_LAST)
        return true;
    return false;
}

int storeNotePane(HWND mainWindow, HTREEITEM node) {
    return 1;
}

void collapseAll(HWND tree, HTREEITEM node) {
    for (HTREEITEM child = TreeView_GetChild(tree, node); child;
         child = TreeView_GetNextSibling(tree, child)) {
        collapseAll(tree, child);
        TreeView_Expand(tree, child, TVE_COLLAPSE);
    }
}

void discardSearch() {
    modelFree(gFindCriteria);
    gFindCriteria = nullptr;
    HMENU tools = menuBarPopup(IDM_TOOLS);
    if (tools)
        EnableMenuItem(tools, IDM_FIND_AGAIN, MF_BYCOMMAND | MF_GRAYED);
}

void forgetSearchNode(HTREEITEM node) {
    if (gFindCriteria && gFindCriteria->lastMatch == node)
        gFindCriteria->lastMatch = nullptr;
}
