// The Default View's nodes as the fill made them: the fill's plan with the
// handle of every node, kept so that a drop can copy a subtree from the
// program's own record. Asking the control instead costs it a search for
// the node with every message, several times for every node moved.
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

// Takes the fill's plan and the handle of each of its nodes (null where the
// control refused one) over; frees both when the record cannot be kept.
void keepFilledShape(ViewPlan* plan, HTREEITEM* handles);
void discardFilledShape();

// A message to the tree view, before the control handles it.
void followShape(UINT message, WPARAM wParam, LPARAM lParam);

// While set, insertions are not noted: the drop's copies go under nodes
// made for the drop, which the record never holds.
void setShapeQuiet(bool quiet);

// The plan and handles of the record, or null when there is none.
const ViewPlan* filledPlan();
HTREEITEM filledHandle(int32_t index);
// The plan index of node, or -1 when the record does not hold it.
int32_t filledIndexOf(HTREEITEM node);

// What became of a recorded node since the fill.
bool shapeNodeDeleted(HTREEITEM node);
bool shapeChildrenChanged(HTREEITEM node);
bool shapeLookChanged(HTREEITEM node);
