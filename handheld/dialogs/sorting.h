// Arrangement of sibling lists: the tree view sorts the direct children of
// one node by the document's arrangeKey and ascending.
#pragma once

#include "notetypes.h"
#include "sortkeys.h"

#include <windows.h>
#include <commctrl.h>

// A child of a long sort that could not be ranked (see SortParams), and
// below it the marks of an identifier that no child owns alone.
static const uint32_t kNotRanked = 0xFFFFFFFFu;
static const uint32_t kIdSeen = 0xFFFFFFFEu;
static const uint32_t kIdShared = 0xFFFFFFFDu;

// One ranked child of a long sort in a table by its item's address.
struct RankSlot {
    const NoteItem* item; // null = free
    uint32_t rank;
};

// From this many items in the list, a long sort finds its children's
// ranks by their addresses rather than their identifiers (see SortParams).
enum { kFewestForRanksByAddress = 16384 };

// What one sort compares by, read from the view options when it starts.
struct SortParams {
    int32_t arrangeKey; // 0 name, 1 priority, 2 category, 3 check flag, 4 due date
    int32_t ascending;  // 1 ascending, 0 descending
    SortKeyCache* keys; // the texts' sort keys for By Name and By Category; may be null
    // A long sort ranks the children it may meet once it has compared
    // rankAfter times (0: never): the top level, or the items below the
    // identifier parentId. ranks[id] is then the place in ascending order
    // (equal keys share one) of the child with that identifier; kIdShared
    // or above for an identifier that is not one ranked child's alone, and
    // for identifiers from rankCount on. Two ranked children compare by
    // rank alone. In a list of kFewestForRanksByAddress items or more, the
    // ranks are in byAddress instead (addressMask + 1 slots, at most two
    // thirds full), where an identifier needs no rule: the records of so
    // long a list outgrow the processor's cache, and reading each child's
    // identifier would cost a miss at every comparison.
    uint32_t rankAfter, compared;
    bool rankTopLevel;
    uint32_t parentId;
    uint32_t* ranks;
    uint32_t rankCount;
    RankSlot* byAddress;
    size_t addressMask;
    bool ranked; // the ranks are written
};

// Sorts the direct children of node (grandchildren keep their order) under
// the wait cursor.
void sortChildren(HWND tree, HTREEITEM node);

// A fill that inserted node's children in the arrangement's order names
// node while it opens it, so that opening sorts nothing (the sort would
// leave them as they are), and null afterwards.
void setArrangedNode(HTREEITEM node);

// The arrangement's order of count items as the tree view's sort gives it
// (equal items keep their order): order[k] is the index of the k-th. 0,
// with order left as the items stand, when a key could not be made.
int arrangeOrder(NoteItem* const* items, int32_t count, int32_t* order);

// The tree view's comparison: a and b are the node data of two children
// (NoteItem pointers, null for the root and group headings), params a
// SortParams, which counts the comparisons. Negative when a goes first, 0
// when equal for the key.
int CALLBACK compareForArrange(LPARAM a, LPARAM b, LPARAM params);

// The same order for two items; either may be null (then 0).
int compareItems(const NoteItem* a, const NoteItem* b, int arrangeKey, int ascending);
