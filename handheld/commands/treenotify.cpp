#include "treenotify.h"

#include "commands.h"
#include "itemdraw.h"
#include "notetypes.h"
#include "pocketpc.h"
#include "program.h"
#include "resource.h"
#include "sorting.h"
#include "treefill.h"
#include "widetext.h"

DragState gDrag = {false, nullptr, nullptr, nullptr};

// Set when the context menu opened while the tree view was still timing the
// press that became the tap and hold: the tree view then takes the release
// as a click, which must neither select nor tick a check box.
static bool gSwallowClick = false;

// The program's own changes store the pane before and show the selection
// after (beginProgramChange); what the tree view says meanwhile is not
// needed, and the pane may not belong to its old node any more.
static LRESULT answerSelChanging(HWND mainWindow) {
    HWND tree = gProgram.treeView;
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (inProgramChange() || !selected || selected == TreeView_GetRoot(tree))
        return 0;
    return storeNotePane(mainWindow, selected) ? 0 : 1;
}

static LRESULT answerSelChanged(HWND mainWindow, const NMTREEVIEWW* change) {
    if (change->itemNew.hItem && !inProgramChange())
        showSelection(mainWindow);
    return 0;
}

static LRESULT answerDisplayInfo(NMTVDISPINFOW* info) {
    const NoteItem* item = (const NoteItem*)info->item.lParam;
    if ((info->item.mask & TVIF_TEXT) && item && info->item.pszText && info->item.cchTextMax > 0)
        copyWideField((WideChar*)info->item.pszText, (size_t)info->item.cchTextMax, item->name,
                      kNameChars);
    return 0;
}

static bool isBelow(HWND tree, HTREEITEM node, HTREEITEM ancestor) {
    for (HTREEITEM up = node ? TreeView_GetParent(tree, node) : nullptr; up;
         up = TreeView_GetParent(tree, up))
        if (up == ancestor)
            return true;
    return false;
}

// Every level the user opens shows the current arrangement; the root node
// stays open. A node that closes over the selection takes the selection
// first, through the usual notifications, so the note pane is stored and
// follows; some tree views move the selection silently instead.
static LRESULT answerExpanding(const NMTREEVIEWW* change) {
    HWND tree = gProgram.treeView;
    HTREEITEM node = change->itemNew.hItem;
    UINT action = change->action & (TVE_COLLAPSE | TVE_EXPAND);
    if (action == TVE_COLLAPSE && node) {
        if (isBelow(tree, TreeView_GetSelection(tree), node) && !TreeView_SelectItem(tree, node))
            return 1;
        return node == TreeView_GetRoot(tree) ? 1 : 0;
    }
    if (action == TVE_EXPAND && node)
        sortChildren(tree, node);
    return 0;
}

// Some tree views collapse a node that the answer above refused: the root
// node is opened again at once.
static LRESULT answerExpanded(const NMTREEVIEWW* change) {
    HWND tree = gProgram.treeView;
    HTREEITEM node = change->itemNew.hItem;
    UINT action = change->action & (TVE_COLLAPSE | TVE_EXPAND);
    if (action == TVE_EXPAND)
        recordOpenNode(tree, node);
    else if (action == TVE_COLLAPSE)
        forgetOpenNode(node);
    if ((change->action & (TVE_COLLAPSE | TVE_EXPAND)) == TVE_COLLAPSE && node &&
        node == TreeView_GetRoot(tree))
        TreeView_Expand(tree, node, TVE_EXPAND);
    return 0;
}

static LRESULT answerReturn(HWND mainWindow) {
    HWND tree = gProgram.treeView;
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (selected && (selected == TreeView_GetRoot(tree) || nodeItem(tree, selected)))
        onCommand(mainWindow, IDM_MODIFY_ITEM);
    return 0;
}

// A node that goes away takes every reference to it with it: the search's
// last match and the drag's nodes.
static LRESULT answerDeleteItem(const NMTREEVIEWW* change) {
    HTREEITEM node = change->itemOld.hItem;
    forgetSearchNode(node);
    forgetCheckNode(node);
    forgetOpenNode(node);
    if (gDrag.target == node)
        gDrag.target = nullptr;
    if (gDrag.draggedNode == node)
        gDrag.draggedNode = nullptr;
    return 0;
}

static LRESULT answerContextMenu(HWND mainWindow, const NMRGINFO* gesture) {
    // The tree view holds the pointer only while it waits to tell a click
    // from a drag; the menu takes the pointer away, and the tree view then
    // reports the press as a click.
    gSwallowClick = GetCapture() == gProgram.treeView;
    showItemMenu(mainWindow, gesture->ptAction);
    return 0;
}

static LRESULT answerClick() {
    if (!gSwallowClick)
        return 0;
    gSwallowClick = false;
    return 1;
}

LRESULT onTreeNotify(HWND mainWindow, NMHDR* header) {
    if (!header || header->hwndFrom != gProgram.treeView)
        return 0;
    switch ((int)header->code) {
    case (int)TVN_SELCHANGINGW:
        return answerSelChanging(mainWindow);
    case (int)TVN_SELCHANGEDW:
        return answerSelChanged(mainWindow, (const NMTREEVIEWW*)header);
    case (int)TVN_GETDISPINFOW:
        return answerDisplayInfo((NMTVDISPINFOW*)header);
    case (int)TVN_ITEMEXPANDINGW:
        return answerExpanding((const NMTREEVIEWW*)header);
    case (int)TVN_ITEMEXPANDEDW:
        return answerExpanded((const NMTREEVIEWW*)header);
    case (int)TVN_BEGINDRAGW:
        beginDrag(mainWindow, (const NMTREEVIEWW*)header);
        return 0;
    case (int)TVN_DELETEITEMW:
        return answerDeleteItem((const NMTREEVIEWW*)header);
    case (int)NM_CUSTOMDRAW:
        return drawTreeNode(mainWindow, (NMTVCUSTOMDRAW*)header);
    case (int)NM_RETURN:
        return answerReturn(mainWindow);
    case (int)NM_CLICK:
        return answerClick();
    case GN_CONTEXTMENU:
        return answerContextMenu(mainWindow, (const NMRGINFO*)header);
    default:
        return 0;
    }
}
