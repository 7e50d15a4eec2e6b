// Filling the tree view from the item list in one of the four views, and the
// small searches over tree nodes that the commands use.
#pragma once

#include "notetypes.h"
#include "treenode.h"

#include <windows.h>
#include <commctrl.h>

// Empties the document and the tree; the tree shows the root node
// "Note Tree", selected.
HTREEITEM newDocument(HWND tree);

// Copies the check boxes into the items, sets the View menu's marks and
// fills the tree for the current view. A view mode outside 0..3 leaves the
// tree and the view's mark as they are.
void fillTree(HWND tree);

// The items take their nodes' boxes over (checkState = the node's state bits
// >> 12): the boxes ticked since the last time, or, once too many were
// ticked to list, every item node below node (the node itself is not read).
void refreshCheckStates(HWND tree, HTREEITEM node);
// The boxes ticked since the last time, while they are few enough to be
// listed; false when they are not, and every box still counts as changed.
bool takeTickedChecks(HWND tree);

// Every mark of the View menu follows the current options: the view, "Hide
// Checked Items", "Hide Note Window", the arrangement key and its order.
void updateViewMenuChecks();

// Group labels are the same when their characters are: a locale comparison
// would take "ab" and "a" U+00AD "b" for one label while the fill's hash
// of them differs, so groups would split or merge by chance.
bool sameLabel(const WCHAR* a, const WCHAR* b);
HTREEITEM findChildByLabel(HWND tree, HTREEITEM parent, const WCHAR* label);

// The label of an item's group in a grouped view (1..3); at most 31
// characters of a date. Empty for other views.
void groupLabel(const NoteItem* item, int viewMode, WCHAR* label, int labelChars);

// The fill of a grouped view under the root node.
void fillGroupedView(HWND tree, HTREEITEM root, int viewMode);

enum { kLabelChars = 64, kRootImage = 0, kGroupImage = 1, kDateGroupImage = 2 };
