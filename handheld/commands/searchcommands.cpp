// "Find Item..." and "Find Again", and the life of the search state.
//
// lastMatch names a tree node. The tree view tells us about every node it
// deletes (forgetSearchNode), so a lastMatch that is gone is null, and a
// null lastMatch means the root node: after a refill, a delete or a move the
// next search starts at the top of the tree.
#include "commandparts.h"

#include "commands.h"
#include "itemdialogs.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"

#include <string.h>

FindCriteria* gFindCriteria = nullptr;

static void enableFindAgain(bool enabled) {
    HMENU tools = menuBarPopup(IDM_TOOLS);
    if (tools)
        EnableMenuItem(tools, IDM_FIND_AGAIN, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

static void showNoMatch(HWND mainWindow) {
    WCHAR text[128];
    if (!LoadStringW(gProgram.instance, IDS_NO_MATCH, text, 128))
        lstrcpynW(text, L"No item matched the search criteria.", 128);
    MessageBoxW(mainWindow, text, L"Twigmark", MB_OK | MB_ICONINFORMATION);
}

// start may be null: then nothing is searched and nothing matches.
static void searchAndReport(HWND mainWindow, HTREEITEM start) {
    HWND tree = gProgram.treeView;
    if (start && searchFrom(tree, start)) {
        SetFocus(tree);
        enableFindAgain(true);
        return;
    }
    showNoMatch(mainWindow);
    enableFindAgain(false);
}

static HTREEITEM lastMatchOrRoot() {
    HTREEITEM last = gFindCriteria->lastMatch;
    return last ? last : TreeView_GetRoot(gProgram.treeView);
}

static void findItem(HWND mainWindow) {
    if (!gFindCriteria) {
        FindCriteria* made = (FindCriteria*)modelAlloc(sizeof(FindCriteria));
        if (!made) {
            reportOutOfMemory(mainWindow);
            return;
        }
        made->checkedChoice = 2;
        made->dateRelation = 1;
        made->lastMatch = TreeView_GetRoot(gProgram.treeView);
        gFindCriteria = made;
    }
    if (runFindDialog(mainWindow) == 0)
        return;
    if (!gFindCriteria)
        return; // the dialog's owner discarded the search meanwhile
    searchAndReport(mainWindow, lastMatchOrRoot());
}

static void findAgain(HWND mainWindow) {
    if (!gFindCriteria)
        return; // grayed: nothing to search on from
    // On from the node after the last match to the end of the tree; the
    // walk does not wrap round to the top.
    searchAndReport(mainWindow, nextInSearchOrder(gProgram.treeView, lastMatchOrRoot()));
}

bool onSearchCommand(HWND mainWindow, UINT command) {
    switch (command) {
    case IDM_FIND_ITEM:
        findItem(mainWindow);
        return true;
    case IDM_FIND_AGAIN:
        findAgain(mainWindow);
        return true;
    default:
        return false;
    }
}

void discardSearch() {
    if (!gFindCriteria)
        return;
    modelFree(gFindCriteria);
    gFindCriteria = nullptr;
    enableFindAgain(false);
}

void forgetSearchNode(HTREEITEM node) {
    if (gFindCriteria && gFindCriteria->lastMatch == node)
        gFindCriteria->lastMatch = nullptr;
}
