// Moving an item by dragging its node onto another node of the Default View.
#include "commands.h"
#include "filledshape.h"
#include "notemodel.h"
#include "notetypes.h"
#include "program.h"
#include "treefill.h"
#include "treenode.h"
#include "treenotify.h"
#include "viewplan.h"

#include <algorithm>
#include <string.h>

namespace {

enum { kDragLabelChars = 80 };

// One node still to copy: its place in the fill's record (-1 when the
// record does not know it), the node, and the copy it goes under.
struct PendingCopy {
    int32_t index;
    HTREEITEM source;
    HTREEITEM under;
};

struct CopyStack {
    PendingCopy* items;
    size_t count, room;
};

// A handle of the record and its place, to find a child the control names.
struct RecordedChild {
    HTREEITEM node;
    int32_t index;
};

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

// What a node the fill made shows, from the record: its item, the item's
// icon (every change of either passes the control, and the record notes
// it) and its box, which is the item's once the ticks are taken over.
static bool recordedLook(HWND tree, HTREEITEM node, NoteItem* item, bool boxesKnown,
                         NodeFacts* read) {
    if (!item || !boxesKnown || shapeLookChanged(node))
        return readMoved(tree, node, read, nullptr);
    *read = NodeFacts();
    read->item = item;
    read->image = item->icon;
    read->selectedImage = item->icon;
    read->box = item->checkState & (TVIS_STATEIMAGEMASK >> 12);
    return true;
}

// One more node to copy; false when memory ran short.
static bool pushCopy(CopyStack* stack, int32_t index, HTREEITEM source, HTREEITEM under) {
    if (stack->count == stack->room) {
        size_t grown = stack->room ? stack->room * 2 : 64;
        PendingCopy* bigger = (PendingCopy*)modelAllocArray(grown, sizeof(PendingCopy));
        if (!bigger)
            return false;
        if (stack->items)
            memcpy(bigger, stack->items, stack->count * sizeof(PendingCopy));
        modelFree(stack->items);
        stack->items = bigger;
        stack->room = grown;
    }
    stack->items[stack->count++] = {index, source, under};
    return true;
}

static bool byNode(const RecordedChild& a, const RecordedChild& b) {
    return (uintptr_t)a.node < (uintptr_t)b.node;
}

// The record's place of each child the control shows below node, which the
// record holds at index; -1 for a child made since the fill.
static bool pushShownChildren(HWND tree, int32_t index, HTREEITEM node, HTREEITEM copy,
                              CopyStack* stack) {
    size_t known = 0;
    for (int32_t c = filledFirstChild(index); c != -1; c = filledNextSibling(index, c))
        ++known;
    RecordedChild* children = (RecordedChild*)modelAllocArray(known + 1, sizeof(RecordedChild));
    if (!children)
        return false;
    // A child deleted since the fill has no handle in the record any more.
    known = 0;
    for (int32_t c = filledFirstChild(index); c != -1; c = filledNextSibling(index, c))
        if (filledHandle(c))
            children[known++] = {filledHandle(c), c};
    std::sort(children, children + known, byNode);
    bool pushed = true;
    for (HTREEITEM child = TreeView_GetChild(tree, node); child && pushed;
         child = TreeView_GetNextSibling(tree, child)) {
        RecordedChild wanted = {child, -1};
        const RecordedChild* found = std::lower_bound(children, children + known, wanted, byNode);
        pushed =
            pushCopy(stack, found != children + known && found->node == child ? found->index : -1,
                     child, copy);
    }
    modelFree(children);
    return pushed;
}

// The children of node (the record's index) to copy below copy, the first
// on top of the stack.
static bool pushChildren(HWND tree, int32_t index, HTREEITEM node, HTREEITEM copy,
                         CopyStack* stack) {
    size_t first = stack->count;
    bool pushed = true;
    if (shapeChildrenChanged(node)) {
        pushed = pushShownChildren(tree, index, node, copy, stack);
    } else {
        for (int32_t c = filledFirstChild(index); c != -1 && pushed;
             c = filledNextSibling(index, c)) {
            HTREEITEM child = filledHandle(c);
            if (child)
                pushed = pushCopy(stack, c, child, copy);
        }
    }
    std::reverse(stack->items + first, stack->items + stack->count);
    return pushed;
}

// copyDescendants from the fill's record where it still vouches for the
// nodes. The children of a node nobody changed since the fill are the
// record's, in its order, but for those deleted since; the children of a
// node whose children changed are asked of the control, and each one the
// record knows goes on from the record again. Copies are made in
// pre-order, each as the last child of its parent's copy. False when the
// record does not hold the dragged node or memory ran short before
// anything was copied.
static bool copyRecordedDescendants(HWND tree, HTREEITEM from, HTREEITEM to, bool boxesKnown) {
    int32_t top = filledIndexOf(from);
    if (top < 0)
        return false;
    CopyStack stack = {nullptr, 0, 0};
    if (!pushChildren(tree, top, from, to, &stack)) {
        modelFree(stack.items);
        return false;
    }
    // Memory running short later leaves the rest of the subtree uncopied,
    // as a node the control refuses does.
    while (stack.count) {
        PendingCopy next = stack.items[--stack.count];
        NodeFacts read;
        bool known = next.index >= 0 ? recordedLook(tree, next.source, filledItem(next.index),
                                                    boxesKnown, &read)
                                     : readMoved(tree, next.source, &read, nullptr);
        HTREEITEM copy =
            known ? insertNodeCopy(tree, next.under, TVI_LAST, &read, nullptr) : nullptr;
        if (!copy)
            continue;
        if (next.index < 0)
            copyDescendants(tree, next.source, copy);
        else if (!pushChildren(tree, next.index, next.source, copy, &stack))
            break;
    }
    modelFree(stack.items);
    return true;
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
    bool boxesKnown = takeTickedChecks(tree);
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
    // The copies go under nodes made here, which the record does not hold.
    setShapeQuiet(true);
    if (!copyRecordedDescendants(tree, dragged, placed, boxesKnown))
        copyDescendants(tree, dragged, placed);
    setShapeQuiet(false);
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
