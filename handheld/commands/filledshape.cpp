#include "filledshape.h"

#include "notemodel.h"
#include "treenode.h"
#include "treenotify.h"

#include <algorithm>

enum { kShapeNotes = 1024 };

static ShapeNode* gNodes = nullptr;
static int32_t gCount = 0;
static bool gQuiet = false;

static HTREEITEM gDeletedNodes[kShapeNotes];
static HTREEITEM gChangedChildren[kShapeNotes];
static HTREEITEM gChangedLooks[kShapeNotes];
static NodeSet gDeleted = {gDeletedNodes, kShapeNotes, 0, false};
static NodeSet gChildren = {gChangedChildren, kShapeNotes, 0, false};
static NodeSet gLooks = {gChangedLooks, kShapeNotes, 0, false};

void discardFilledShape() {
    modelFree(gNodes);
    gNodes = nullptr;
    gCount = 0;
    clearNodeSet(&gDeleted);
    clearNodeSet(&gChildren);
    clearNodeSet(&gLooks);
}

void keepFilledShape(ViewPlan* plan, HTREEITEM* handles) {
    discardFilledShape();
    ShapeNode* nodes =
        handles ? (ShapeNode*)modelAllocArray((size_t)plan->count + 1, sizeof(ShapeNode)) : nullptr;
    if (nodes) {
        // The plan's nodes are in pre-order: a node's subtree is the run of
        // its size after it. The child links are not needed past this
        // point and hold the sizes.
        int32_t* size = plan->firstChild;
        for (int32_t i = 0; i < plan->count; ++i)
            size[i] = 1;
        for (int32_t i = plan->count - 1; i >= 0; --i)
            if (plan->nodes[i].parent != kPlanRoot)
                size[plan->nodes[i].parent] += size[i];
        // A subtree that is not one run would make the ends lie: no record
        // then, rather than a wrong one.
        int32_t at = 0;
        bool runs = true;
        for (int32_t top = plan->rootFirstChild; top != -1 && runs; top = plan->nextSibling[top]) {
            runs = at + size[top] <= plan->count;
            for (int32_t i = top; i < top + size[top] && runs; ++i) {
                runs = i - top + size[i] <= size[top];
                nodes[at + i - top] = {plan->nodes[i].item, handles[i], at + i - top + size[i]};
            }
            at += size[top];
        }
        if (runs) {
            gNodes = nodes;
            gCount = at;
        } else {
            modelFree(nodes);
        }
    }
    freeViewPlan(plan);
    modelFree(handles);
}

// A note that does not fit ends the record: it could no longer tell.
static void note(NodeSet* set, HTREEITEM node) {
    if (!node || node == TVI_ROOT)
        return;
    addToNodeSet(set, node);
    if (set->all)
        discardFilledShape();
}

void followShape(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!gNodes)
        return;
    // Every node goes at once: null stands for the root here too.
    if ((message == TVM_DELETEITEM && (!lParam || (HTREEITEM)lParam == TVI_ROOT)) ||
        message == WM_NCDESTROY) {
        discardFilledShape();
        return;
    }
    if (!lParam)
        return;
    switch (message) {
    case TVM_INSERTITEMW:
    case TVM_INSERTITEMA: // the same layout up to the text pointer
        if (!gQuiet)
            note(&gChildren, ((const TVINSERTSTRUCTW*)lParam)->hParent);
        break;
    case TVM_DELETEITEM:
        note(&gDeleted, (HTREEITEM)lParam);
        break;
    case TVM_SORTCHILDREN:
        note(&gChildren, (HTREEITEM)lParam);
        break;
    case TVM_SORTCHILDRENCB:
        note(&gChildren, ((const TVSORTCB*)lParam)->hParent);
        break;
    case TVM_EXPAND:
        // The children go without a deletion of their own, and their
        // handles may come back on new nodes: the record cannot tell them.
        if (wParam & TVE_COLLAPSERESET)
            discardFilledShape();
        break;
    case TVM_SETITEMW:
    case TVM_SETITEMA: {
        const TVITEMW* item = (const TVITEMW*)lParam;
        if (item->mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM))
            note(&gLooks, item->hItem);
        break;
    }
    default:
        break;
    }
}

void setShapeQuiet(bool quiet) {
    gQuiet = quiet;
}

static bool holds(const NodeSet* set, HTREEITEM node) {
    for (int i = 0; i < set->count; ++i)
        if (set->nodes[i] == node)
            return true;
    return false;
}

// The nodes deleted since the last look, each with its subtree, lose their
// handles in the record: a handle the control gave back may be on a node
// made since, which the record does not describe.
static void settleDeletions() {
    if (!gDeleted.count)
        return;
    static HTREEITEM gone[kShapeNotes];
    int count = gDeleted.count;
    std::copy(gDeleted.nodes, gDeleted.nodes + count, gone);
    std::sort(gone, gone + count);
    for (int32_t i = 0; i < gCount;) {
        if (gNodes[i].handle && std::binary_search(gone, gone + count, gNodes[i].handle)) {
            for (int32_t j = i; j < gNodes[i].end; ++j)
                gNodes[j].handle = nullptr;
            i = gNodes[i].end;
        } else {
            ++i;
        }
    }
    clearNodeSet(&gDeleted);
}

int32_t filledIndexOf(HTREEITEM node) {
    if (!gNodes || !node)
        return -1;
    settleDeletions();
    for (int32_t i = 0; i < gCount; ++i)
        if (gNodes[i].handle == node)
            return i;
    return -1;
}

NoteItem* filledItem(int32_t index) {
    return gNodes && index >= 0 && index < gCount ? gNodes[index].item : nullptr;
}

HTREEITEM filledHandle(int32_t index) {
    return gNodes && index >= 0 && index < gCount ? gNodes[index].handle : nullptr;
}

int32_t filledFirstChild(int32_t index) {
    if (!gNodes || index < 0 || index >= gCount)
        return -1;
    return index + 1 < gNodes[index].end ? index + 1 : -1;
}

int32_t filledNextSibling(int32_t parent, int32_t child) {
    if (!gNodes || parent < 0 || child <= parent || child >= gCount)
        return -1;
    return gNodes[child].end < gNodes[parent].end ? gNodes[child].end : -1;
}

// An edit shows its item on the node again: the few nodes rewritten since
// the fill are asked for their items (a search through the control each),
// the record's word taken for the rest.
enum { kFewestRewritesAsked = 16 };

bool filledChildrenInOrder(HWND tree, HTREEITEM node, ItemsInOrder inOrder, void* context) {
    if (!gNodes || !node || holds(&gChildren, node) || gLooks.count > kFewestRewritesAsked)
        return false;
    int32_t parent = -1, child = 0, end = gCount;
    if (node != TreeView_GetRoot(tree)) {
        parent = filledIndexOf(node);
        if (parent < 0)
            return false;
        child = parent + 1;
        end = gNodes[parent].end;
    } else {
        settleDeletions();
    }
    const NoteItem* previous = nullptr;
    for (; child < end; child = gNodes[child].end) {
        const ShapeNode& at = gNodes[child];
        if (!at.handle)
            continue; // deleted since: the others keep their order
        if (holds(&gLooks, at.handle) && nodeItem(tree, at.handle) != at.item)
            return false; // shown with another item since
        if (previous && !inOrder(previous, at.item, context))
            return false;
        previous = at.item;
    }
    return true;
}

bool shapeChildrenChanged(HTREEITEM node) {
    return holds(&gChildren, node);
}

bool shapeLookChanged(HTREEITEM node) {
    return holds(&gLooks, node);
}
