// The check boxes the user ticks. Each tick is followed as it happens (a tap
// on the box, the space key) by watching the tree view's own handling of the
// input: the document is then marked changed, and the node joins the record
// of boxes changed since the items last took the states over.
#include "treenotify.h"

#include "filledshape.h"
#include "program.h"

#include <windowsx.h>

static HTREEITEM gTickedNodes[64];
NodeSet gCheckChanges = {gTickedNodes, 64, 0, false};

static WNDPROC gTreeProcedure = nullptr;
// The node whose box the input in hand may tick; null once it is deleted.
static HTREEITEM gWatched = nullptr;

static UINT boxState(HWND tree, HTREEITEM node) {
    return TreeView_GetItemState(tree, node, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK;
}

static void recordTick(HTREEITEM node) {
    gProgram.documentChanged = 1;
    addToNodeSet(&gCheckChanges, node);
}

// A box set by a message (TVM_SETITEM) joins the record too, whoever sent
// it: what its item holds is then taken over with the ticks.
static void followSetItem(UINT message, LPARAM lParam) {
    const TVITEMW* item = (const TVITEMW*)lParam; // the A form has the same layout here
    if ((message == TVM_SETITEMW || message == TVM_SETITEMA) && item && (item->mask & TVIF_STATE) &&
        (item->stateMask & TVIS_STATEIMAGEMASK))
        addToNodeSet(&gCheckChanges, item->hItem);
}

// The node whose box this input may tick, or null.
static HTREEITEM tickedNode(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: {
        TVHITTESTINFO hit = {};
        hit.pt.x = GET_X_LPARAM(lParam);
        hit.pt.y = GET_Y_LPARAM(lParam);
        HTREEITEM node = TreeView_HitTest(tree, &hit);
        return hit.flags & TVHT_ONITEMSTATEICON ? node : nullptr;
    }
    case WM_KEYDOWN:
    case WM_CHAR:
        return wParam == VK_SPACE ? TreeView_GetSelection(tree) : nullptr;
    default:
        return nullptr;
    }
}

static LRESULT CALLBACK watchTreeInput(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    followShape(message, wParam, lParam);
    if (message == TVM_EXPAND || message == TVM_ENSUREVISIBLE)
        followOpening(tree, message, wParam, lParam);
    else
        followSetItem(message, lParam);
    HTREEITEM node = tickedNode(tree, message, wParam, lParam);
    if (!node)
        return CallWindowProcW(gTreeProcedure, tree, message, wParam, lParam);
    // A press may open the item menu, whose command may delete the node.
    HTREEITEM outer = gWatched;
    gWatched = node;
    UINT before = boxState(tree, node);
    LRESULT result = CallWindowProcW(gTreeProcedure, tree, message, wParam, lParam);
    if (gWatched && boxState(tree, gWatched) != before)
        recordTick(gWatched);
    gWatched = outer;
    return result;
}

void followCheckBoxes(HWND tree) {
    // Every tree view has its class's procedure; a window watched already
    // keeps it.
    if (!tree || (WNDPROC)GetWindowLongPtrW(tree, GWLP_WNDPROC) == watchTreeInput)
        return;
    gTreeProcedure =
        (WNDPROC)SetWindowLongPtrW(tree, GWLP_WNDPROC, (LONG_PTR)(WNDPROC)watchTreeInput);
}

bool suspendTreeWatch(HWND tree) {
    if (!tree || (WNDPROC)GetWindowLongPtrW(tree, GWLP_WNDPROC) != watchTreeInput)
        return false;
    SetWindowLongPtrW(tree, GWLP_WNDPROC, (LONG_PTR)gTreeProcedure);
    return true;
}

void resumeTreeWatch(HWND tree, bool suspended) {
    if (suspended)
        SetWindowLongPtrW(tree, GWLP_WNDPROC, (LONG_PTR)(WNDPROC)watchTreeInput);
}

void forgetCheckNode(HTREEITEM node) {
    if (gWatched == node)
        gWatched = nullptr;
    removeFromNodeSet(&gCheckChanges, node);
}

void clearCheckChanges() {
    clearNodeSet(&gCheckChanges);
}
