#include "filledshape.h"

#include "notemodel.h"
#include "treenotify.h"

enum { kShapeNotes = 1024 };

static ViewPlan gPlan;
static HTREEITEM* gHandles = nullptr;
static bool gQuiet = false;

static HTREEITEM gDeletedNodes[kShapeNotes];
static HTREEITEM gChangedChildren[kShapeNotes];
static HTREEITEM gChangedLooks[kShapeNotes];
static NodeSet gDeleted = {gDeletedNodes, kShapeNotes, 0, false};
static NodeSet gChildren = {gChangedChildren, kShapeNotes, 0, false};
static NodeSet gLooks = {gChangedLooks, kShapeNotes, 0, false};

void discardFilledShape() {
    if (gHandles)
        freeViewPlan(&gPlan);
    modelFree(gHandles);
    gHandles = nullptr;
    clearNodeSet(&gDeleted);
    clearNodeSet(&gChildren);
    clearNodeSet(&gLooks);
}

void keepFilledShape(ViewPlan* plan, HTREEITEM* handles) {
    discardFilledShape();
    if (!handles) {
        freeViewPlan(plan);
        return;
    }
    gPlan = *plan;
    gHandles = handles;
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
    if (!gHandles)
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

const ViewPlan* filledPlan() {
    return gHandles ? &gPlan : nullptr;
}

HTREEITEM filledHandle(int32_t index) {
    return gHandles && index >= 0 && index < gPlan.count ? gHandles[index] : nullptr;
}

static bool holds(const NodeSet* set, HTREEITEM node) {
    for (int i = 0; i < set->count; ++i)
        if (set->nodes[i] == node)
            return true;
    return false;
}

int32_t filledIndexOf(HTREEITEM node) {
    if (!gHandles || !node)
        return -1;
    int32_t found = 0;
    while (found < gPlan.count && gHandles[found] != node)
        ++found;
    if (found == gPlan.count)
        return -1;
    // A node deleted with its subtree may have left its handle to a new
    // node, which the record does not describe.
    for (int32_t up = found; up != kPlanRoot; up = gPlan.nodes[up].parent)
        if (holds(&gDeleted, gHandles[up]))
            return -1;
    return found;
}

bool shapeNodeDeleted(HTREEITEM node) {
    return holds(&gDeleted, node);
}

bool shapeChildrenChanged(HTREEITEM node) {
    return holds(&gChildren, node);
}

bool shapeLookChanged(HTREEITEM node) {
    return holds(&gLooks, node);
}
