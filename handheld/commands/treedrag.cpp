// Moving an item by dragging its node onto another node of the Default View.
#include "commands.h"
#include "notetypes.h"
#include "program.h"
#include "treefill.h"
#include "treenode.h"
#include "treenotify.h"
#include "viewplan.h"

namespace {

enum { kDragLabelChars = 80 };

} // namespace

static POINT toScreen(HWND mainWindow, int x, int y) {
    POINT at = {x, y};
    ClientToScreen(mainWindow, &at);
    return at;
}

// The picture follows the stylus. Some tree views make a drag image list
// that holds no picture; the node's own icon stands in for it then.
static void beginImageDrag(HWND tree, HTREEITEM node, HIMAGELIST made) {
    if (ImageList_GetImageCount(made) > 0) {
        ImageList_BeginDrag(made, 0, 0, 0);
        return;
    }
    NodeFacts read;
    HIMAGELIST icons = TreeView_GetImageList(tree, TVSIL_NORMAL);
    if (icons && readNode(tree, node, TVIF_IMAGE, &read))
        ImageList_BeginDrag(icons, read.image, 0, 0);
}

void beginDrag(HWND mainWindow, const NMTREEVIEWW* notification) {
    HWND tree = gProgram.treeView;
    if (gDrag.dragging || gOptions.viewMode != kDefaultView)
        return;
    // The node under the stylus is the one the user means to move. The tree
    // view starts a drag before it selects that node, so it is selected
    // here first; if the selection cannot move (the note pane could not be
    // stored), nothing is dragged.
    HTREEITEM pressed = notification->itemNew.hItem;
    if (pressed && pressed != TreeView_GetSelection(tree))
        TreeView_SelectItem(tree, pressed);
    HTREEITEM node = TreeView_GetSelection(tree);
    gDrag.draggedNode = node;
    if (!node || node == TreeView_GetRoot(tree) || (pressed && node != pressed))
        return;
    HIMAGELIST images = TreeView_CreateDragImage(tree, node);
    if (!images) {
        MessageBoxW(mainWindow, L"No Image!", L"Twigmark", MB_ICONSTOP);
        return;
    }
    gDrag.dragImages = images;
    gDrag.target = nullptr;
    beginImageDrag(tree, node, images);
    // The notification's point is in the tree view's own coordinates.
    POINT at = notification->ptDrag;
    ClientToScreen(tree, &at);
    ImageList_DragEnter(nullptr, at.x, at.y);
    SetCapture(mainWindow);
    gDrag.dragging = true;
}

// Ends the image drag and lets the pointer go; nothing moves.
static void endDrag(HWND mainWindow) {
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
    TreeView_SelectDropTarget(gProgram.treeView, nullptr);
    if (GetCapture() == mainWindow)
        ReleaseCapture();
    if (gDrag.dragImages)
        ImageList_Destroy(gDrag.dragImages);
    gDrag.dragImages = nullptr;
    gDrag.target = nullptr;
}

void trackDrag(HWND mainWindow, int x, int y) {
    if (!gDrag.dragging)
        return;
    // Another window took the pointer: the release will not come here, so
    // the drag ends now, moving nothing.
    if (GetCapture() != mainWindow) {
        endDrag(mainWindow);
        gDrag.dragging = false;
        return;
    }
    HWND tree = gProgram.treeView;
    POINT at = toScreen(mainWindow, x, y);
    ImageList_DragMove(at.x, at.y);
    // (x, y) is in the main window's client area; the hit test wants the
    // tree view's, which starts a few pixels further in.
    TVHITTESTINFO hit = {};
    hit.pt.x = x;
    hit.pt.y = y;
    MapWindowPoints(mainWindow, tree, &hit.pt, 1);
    HTREEITEM node = TreeView_HitTest(tree, &hit);
    // Over empty space the highlight stays where it was: lifting the stylus
    // there drops onto the last node passed over.
    if (!node || node == gDrag.target)
        return;
    ImageList_DragShowNolock(FALSE);
    TreeView_SelectDropTarget(tree, node);
    ImageList_DragShowNolock(TRUE);
    gDrag.target = node;
}

// An item may not move under itself or under one of its own descendants:
// its parent chain would become a cycle and its nodes would leave the view.
static bool canDropOnto(HWND tree, HTREEITEM dragged, HTREEITEM target) {
    for (HTREEITEM node = target; node; node = TreeView_GetParent(tree, node))
        if (node == dragged)
            return false;
    return true;
}

// What a moved node carries over: its icons, its box and its item.
static bool readMoved(HWND tree, HTREEITEM node, NodeFacts* read, WCHAR* label) {
    return readNode(tree, node, TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM, read,
                    label, label ? kDragLabelChars : 0);
}

// The depth of a node below the root node (the root's children are at 1).
static uint32_t nodeDepth(HWND tree, HTREEITEM node) {
    uint32_t depth = 0;
    for (HTREEITEM up = TreeView_GetParent(tree, node); up; up = TreeView_GetParent(tree, up))
        ++depth;
    return depth;
}

// Every node below from, in pre-order and in its present order, copied as the
// last children of the matching copies below to. No stack of its own: the
// walk climbs both trees together.
static void copyDescendants(HWND tree, HTREEITEM from, HTREEITEM to) {
    HTREEITEM source = TreeView_GetChild(tree, from);
    HTREEITEM parent = to;
    while (source) {
        NodeFacts read;
        HTREEITEM made = readMoved(tree, source, &read, nullptr)
                             ? insertNodeCopy(tree, parent, TVI_LAST, &read, nullptr)
                             : nullptr;
        HTREEITEM child = made ? TreeView_GetChild(tree, source) : nullptr;
        if (child) {
            parent = made;
            source = child;
            continue;
        }
        // A node the control refused takes its subtree with it.
        while (source != from && !TreeView_GetNextSibling(tree, source)) {
            source = TreeView_GetParent(tree, source);
            parent = TreeView_GetParent(tree, parent);
        }
        source = source == from ? nullptr : TreeView_GetNextSibling(tree, source);
    }
}

// The dragged node is remade under the target, placed by its label, with
// its whole subtree below it in its former order; the item takes its new
// place in the document and everything below it its new depth.
static void moveNode(HWND tree, HTREEITEM dragged, HTREEITEM target) {
    HTREEITEM root = TreeView_GetRoot(tree);
    NoteItem* parentItem = target == root ? nullptr : nodeItem(tree, target);
    if (target != root && !parentItem)
        return; // a heading: not a place in the document
    WCHAR label[kDragLabelChars];
    NodeFacts read;
    if (!readMoved(tree, dragged, &read, label) || !read.item)
        return;
    NoteItem* moved = read.item;
    // The old nodes go with the record of their ticks: the items take the
    // ticks over first, and the new nodes show the same boxes.
    takeTickedChecks(tree);
    HTREEITEM placed = insertNodeCopy(tree, target, TVI_SORT, &read, label);
    if (!placed)
        return;
    // The level is the depth the item is shown at, which a damaged
    // target's own level need not tell.
    moved->parentId = parentItem ? parentItem->id : 0;
    moved->level = nodeDepth(tree, target) + 1;
    relevelBelow(&gList, moved);
    gProgram.documentChanged = 1;
    TreeView_EnsureVisible(tree, placed);
    copyDescendants(tree, dragged, placed);
    TreeView_DeleteItem(tree, dragged);
}

void dropDragged(HWND mainWindow) {
    HWND tree = gProgram.treeView;
    HTREEITEM target = gDrag.target;
    HTREEITEM dragged = gDrag.draggedNode;
    endDrag(mainWindow);
    // The dragged node goes, and the selection with it: the pane belongs to
    // the node selected before, and follows the one selected after.
    if (gDrag.dragging && target && dragged && canDropOnto(tree, dragged, target) &&
        beginProgramChange(mainWindow)) {
        moveNode(tree, dragged, target);
        endProgramChange(mainWindow);
    }
    gDrag.dragging = false;
}
