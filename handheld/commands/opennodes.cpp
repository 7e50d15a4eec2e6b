// The nodes that may be open. The tree view tells of the user's expanding
// and collapsing, but not always of the program's own (a node it opened once
// opens again silently, and so do the parents a node is scrolled into view
// under), so the messages that open nodes are watched as well. The record
// may hold nodes that are closed again; it never misses an open one.
#include "treenotify.h"

#include "commands.h"

static HTREEITEM gOpenedNodes[1024];
NodeSet gOpenNodes = {gOpenedNodes, 1024, 0, false};

void recordOpenNode(HWND tree, HTREEITEM node) {
    // The root node stays open and is never collapsed.
    if (node && node != TVI_ROOT && node != TreeView_GetRoot(tree))
        addToNodeSet(&gOpenNodes, node);
}

void forgetOpenNode(HTREEITEM node) {
    removeFromNodeSet(&gOpenNodes, node);
}

void clearOpenNodes() {
    clearNodeSet(&gOpenNodes);
}

void followOpening(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    HTREEITEM node = (HTREEITEM)lParam;
    if (message == TVM_EXPAND && (wParam & TVE_EXPAND)) {
        recordOpenNode(tree, node);
    } else if (message == TVM_ENSUREVISIBLE && node && !gOpenNodes.all) {
        // Every parent of the node may open.
        for (HTREEITEM up = TreeView_GetParent(tree, node); up; up = TreeView_GetParent(tree, up))
            recordOpenNode(tree, up);
    }
}
