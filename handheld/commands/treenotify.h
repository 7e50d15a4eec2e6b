// What the main window does with the tree view's notifications and with the
// stylus while an item is dragged; the item context menu.
#pragma once

#include <windows.h>
#include <commctrl.h>

struct DragState {
    bool dragging;
    HTREEITEM draggedNode;
    HTREEITEM target;      // the node under the drop highlight, or null
    HIMAGELIST dragImages; // made by the tree view for this drag; ours to free
};
extern DragState gDrag;

LRESULT onTreeNotify(HWND mainWindow, NMHDR* header);

// A bounded set of nodes that may stand for every node: when more than its
// room are added, all is set and the list is emptied. The two records below
// are kept this way.
struct NodeSet {
    HTREEITEM* nodes;
    int room;
    int count;
    bool all;
};
void addToNodeSet(NodeSet* set, HTREEITEM node);
void removeFromNodeSet(NodeSet* set, HTREEITEM node);
void clearNodeSet(NodeSet* set);

// The boxes the user ticked since the items last took the states over from
// the nodes (a read of every box clears the record).
extern NodeSet gCheckChanges;

// Watches the tree view's input for ticks; each marks the document changed.
void followCheckBoxes(HWND tree);
// A fill's insertions carry no input, set no box by TVM_SETITEM and open
// no node, so the watch has nothing to follow in them: while they run it
// steps aside, and each insertion goes straight to the tree view's own
// procedure. suspendTreeWatch says whether it stepped aside, for
// resumeTreeWatch.
bool suspendTreeWatch(HWND tree);
void resumeTreeWatch(HWND tree, bool suspended);
// The tree view is deleting node: no record keeps it.
void forgetCheckNode(HTREEITEM node);
void clearCheckChanges();

// The nodes below the root node that may be open, so that collapsing all
// visits them alone.
extern NodeSet gOpenNodes;

// A message to the tree view that may open nodes (TVM_EXPAND,
// TVM_ENSUREVISIBLE): they join the record before it is handled.
void followOpening(HWND tree, UINT message, WPARAM wParam, LPARAM lParam);
void recordOpenNode(HWND tree, HTREEITEM node);
// The node closed or is going away.
void forgetOpenNode(HTREEITEM node);
// No node is open any more (the tree is being emptied or all collapsed).
void clearOpenNodes();

// The item context menu, built once at start-up.
HMENU buildItemMenu();

// Tap and hold at a point in screen coordinates: the menu for the node
// there (or the selected node), and the chosen command carried out.
void showItemMenu(HWND mainWindow, POINT screenPoint);

// Drag and drop of item nodes in the Default View. Points are in the main
// window's client coordinates; while a drag runs the main window holds the
// pointer, so they may lie above or left of it and be negative.
void beginDrag(HWND mainWindow, const NMTREEVIEWW* notification);
void trackDrag(HWND mainWindow, int x, int y);
void dropDragged(HWND mainWindow);
