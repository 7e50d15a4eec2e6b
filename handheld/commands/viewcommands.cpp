// The view commands: the four views, "Hide Checked Items", "Hide Note
// Window" and the arrangement of sibling lists.
#include "commandparts.h"

#include "commands.h"
#include "notemodel.h"
#include "program.h"
#include "resource.h"
#include "sorting.h"
#include "treefill.h"
#include "treenotify.h"

static void switchView(int viewMode) {
    gOptions.viewMode = viewMode;
    gProgram.documentChanged = 1; // the view is kept in the note file
    fillTree(gProgram.treeView);
}

// The option decides and its mark follows (the fill sets the marks);
// without a menu bar the command still works.
static void toggleHideChecked() {
    gOptions.hideChecked = !gOptions.hideChecked;
    gProgram.documentChanged = 1;
    fillTree(gProgram.treeView);
}

static void toggleHideNoteWindow(HWND mainWindow) {
    gOptions.hideNoteWindow = !gOptions.hideNoteWindow;
    updateViewMenuChecks();
    layoutMainWindow(mainWindow);
}

// Only the top level is sorted now; every deeper list is collapsed and is
// sorted under the new order when it is next expanded.
static void rearrange() {
    updateViewMenuChecks();
    gProgram.documentChanged = 1; // the arrangement is kept in the note file
    HWND tree = gProgram.treeView;
    HTREEITEM root = TreeView_GetRoot(tree);
    if (!root)
        return;
    collapseAll(tree, root);
    sortChildren(tree, root);
}

void collapseAll(HWND tree, HTREEITEM node) {
    // Each message costs the control a search for the node: below the root
    // node only the nodes that may be open are visited, the last opened
    // first. Closed nodes keep the open ones below them open, so each is
    // collapsed, whether it is shown or not.
    if (node == TreeView_GetRoot(tree) && !gOpenNodes.all) {
        while (gOpenNodes.count) {
            HTREEITEM open = gOpenNodes.nodes[--gOpenNodes.count];
            TreeView_Expand(tree, open, TVE_COLLAPSE);
        }
        return;
    }
    // Depth first with an explicit stack, children before their parent, so
    // a deep chain from a crafted file cannot exhaust the call stack. Only
    // nodes that were ever expanded can hold expanded nodes below them.
    struct Frame {
        HTREEITEM node;
        HTREEITEM child; // the next child to visit
    };
    size_t room = 64, depth = 0;
    Frame* stack = (Frame*)modelAllocArray(room, sizeof(Frame));
    if (!stack)
        return;
    stack[depth++] = {node, TreeView_GetChild(tree, node)};
    while (depth) {
        Frame& top = stack[depth - 1];
        HTREEITEM child = top.child;
        if (!child) {
            HTREEITEM done = top.node;
            --depth;
            if (depth)
                TreeView_Expand(tree, done, TVE_COLLAPSE);
            continue;
        }
        top.child = TreeView_GetNextSibling(tree, child);
        UINT state = TreeView_GetItemState(tree, child, TVIS_EXPANDEDONCE | TVIS_EXPANDED);
        if (!(state & (TVIS_EXPANDEDONCE | TVIS_EXPANDED)))
            continue;
        if (depth == room) {
            Frame* bigger = (Frame*)modelAllocArray(room * 2, sizeof(Frame));
            if (!bigger)
                break; // out of memory: the nodes visited so far are collapsed
            memcpy(bigger, stack, depth * sizeof(Frame));
            modelFree(stack);
            stack = bigger;
            room *= 2;
        }
        stack[depth++] = {child, TreeView_GetChild(tree, child)};
    }
    modelFree(stack);
    if (node == TreeView_GetRoot(tree) && !depth)
        clearOpenNodes();
}

bool onViewCommand(HWND mainWindow, UINT command) {
    switch (command) {
    case IDM_VIEW_DEFAULT:
    case IDM_VIEW_CATEGORY:
    case IDM_VIEW_DATE:
    case IDM_VIEW_PRIORITY:
        switchView((int)(command - IDM_VIEW_DEFAULT));
        return true;
    case IDM_HIDE_CHECKED:
        toggleHideChecked();
        return true;
    case IDM_HIDE_NOTE_WINDOW:
        toggleHideNoteWindow(mainWindow);
        return true;
    case IDM_ASCENDING:
    case IDM_DESCENDING:
        gOptions.ascending = command == IDM_ASCENDING;
        rearrange();
        return true;
    default:
        break;
    }
    if (command >= IDM_ARRANGE_FIRST && command <= IDM_ARRANGE_LAST) {
        gOptions.arrangeKey = (int32_t)(command - IDM_ARRANGE_FIRST);
        rearrange();
        return true;
    }
    return false;
}
