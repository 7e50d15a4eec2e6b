// The Default View's nodes as the fill made them: every node's item and
// handle, kept so that a drop can copy a subtree from the program's own
// record. Asking the control instead costs it a search for the node with
// every message, several times for every node moved. Twelve bytes a node
// (a 32-bit build), kept until the next fill: the nodes are in the order
// the fill inserted them, each followed by its subtree, so where a subtree
// ends says all the shape there is.
//
// The record only vouches for what the program did not change since the
// fill. Every message that changes the nodes passes the tree view's
// watcher, which notes what it changes: a node whose children were
// inserted, sorted or reset, a node deleted (its subtree with it), a node
// whose icon or item was rewritten. A box ticked or set is in the record of
// ticks already. When a note does not fit, or the tree is emptied or
// destroyed, the record goes, and a drop asks the control again.
#pragma once

#include "viewplan.h"

#include <windows.h>
#include <commctrl.h>

struct ShapeNode {
    NoteItem* item;
    HTREEITEM handle; // null where the control refused the node or it was deleted since
    int32_t end;      // the index after the node's subtree
};

// The record of a fill that inserted the top level in the plan's root
// order, each top-level node followed by its subtree in plan order, with
// the handle of each plan node (null where the control refused one). Frees
// the plan and the handles either way.
void keepFilledShape(ViewPlan* plan, HTREEITEM* handles);
void discardFilledShape();

// A message to the tree view, before the control handles it.
void followShape(UINT message, WPARAM wParam, LPARAM lParam);

// While set, insertions are not noted: the drop's copies go under nodes
// made for the drop, which the record never holds.
void setShapeQuiet(bool quiet);

// The record's index of node, or -1 when the record does not hold it (a
// node made since the fill may have the handle of one deleted since).
int32_t filledIndexOf(HTREEITEM node);
// A recorded node (index from filledIndexOf or the walks below): its item,
// and its handle, null when the node is gone.
NoteItem* filledItem(int32_t index);
HTREEITEM filledHandle(int32_t index);
// The children of a recorded node in the order the fill made them: start
// with filledFirstChild and go on with filledNextSibling until -1.
int32_t filledFirstChild(int32_t index);
int32_t filledNextSibling(int32_t parent, int32_t child);

// What became of a recorded node since the fill.
bool shapeChildrenChanged(HTREEITEM node);
bool shapeLookChanged(HTREEITEM node);

// Whether the record still knows the order of node's children (the top
// level's for the root node): none inserted, sorted or reset since the
// fill, none given another item. Then true when inOrder holds for every
// two neighbours still there; false when it does not or the record cannot
// tell.
typedef bool (*ItemsInOrder)(const NoteItem* first, const NoteItem* second, void* context);
bool filledChildrenInOrder(HWND tree, HTREEITEM node, ItemsInOrder inOrder, void* context);
