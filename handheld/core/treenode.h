// Reading and writing one tree node: each call sends exactly one message to
// the control. The tree view finds a node by searching its nodes, so every
// message counts; and a label asked of an item node, whose text is given on
// request, costs a TVN_GETDISPINFO round trip, so a call asks for no field
// its caller does not use.
#pragma once

#include "notetypes.h"

#include <windows.h>
#include <commctrl.h>

// What one read tells of a node; fields not asked for are zero.
struct NodeFacts {
    NoteItem* item; // null for the root and group nodes
    UINT box;       // the state image index, as an item's checkState keeps it
    int image;
    int selectedImage;
    int children; // nonzero when the node says it has children
};

// Reads the fields in ask (TVIF_PARAM, TVIF_STATE, TVIF_IMAGE,
// TVIF_SELECTEDIMAGE, TVIF_CHILDREN), and the label too when label is not
// null: at most labelChars - 1 characters, empty when the read fails.
bool readNode(HWND tree, HTREEITEM node, UINT ask, NodeFacts* facts, WCHAR* label = nullptr,
              int labelChars = 0);
// The item a node carries, or null for the root and group nodes.
NoteItem* nodeItem(HWND tree, HTREEITEM node);
// The node's label alone; empty when the read fails.
bool readNodeLabel(HWND tree, HTREEITEM node, WCHAR* label, int labelChars);

// An item's node at the end of parent's children: its text on request, its
// icon, its box and the item.
HTREEITEM insertItemNode(HWND tree, HTREEITEM parent, NoteItem* item);
// The same node with the item's icon and check state as the caller read
// them in this fill: a fill reads each record once, in list order, rather
// than once more in display order, where the records lie scattered.
HTREEITEM insertItemNodeAs(HWND tree, HTREEITEM parent, NoteItem* item, int icon, UINT box);
// The root node, first of all: its label, its icon and the state bits a
// document keeps for it (only the box counts).
HTREEITEM insertRootNode(HWND tree, WCHAR* label, int image, UINT state);
// A group heading at the end of root's children: its label and icon, no item.
HTREEITEM insertGroupNode(HWND tree, HTREEITEM root, WCHAR* label, int image);
// A node that shows what another showed (its icons, its box, its item),
// with label as its text, or its text on request when label is null.
HTREEITEM insertNodeCopy(HWND tree, HTREEITEM parent, HTREEITEM after, const NodeFacts* from,
                         WCHAR* label);

// The node shows item again: text on request, icon, box and the item. The
// box goes with a TVM_SETITEM, which the tree's watcher records as a tick.
bool showItemOnNode(HWND tree, HTREEITEM node, NoteItem* item);
// The node's icon, normal and selected.
bool setNodeIcon(HWND tree, HTREEITEM node, int image);
bool setNodeLabel(HWND tree, HTREEITEM node, WCHAR* label);
