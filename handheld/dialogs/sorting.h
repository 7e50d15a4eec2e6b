// Arrangement of sibling lists: the tree view sorts the direct children of
// one node by the document's arrangeKey and ascending.
#pragma once

#include "notetypes.h"
#include "sortkeys.h"

#include <windows.h>
#include <commctrl.h>

// A child of a long sort that could not be ranked (see SortParams).
static const uint32_t kNotRanked = 0xFFFFFFFFu;

// The ranks of a long sort's children by their items' addresses where the
// items lie close together, as records read in one go do: the span from
// base is cut in pages of 1 << kRankPageShift bytes, and each page that
// holds a child has a block of slots, one for every 1 << kRankSlotShift
// bytes. A record is longer than a slot, so no two items share one.
enum {
    kRankPageShift = 16,
    kRankSlotShift = 8,
    kRankBlockSlots = 1 << (kRankPageShift - kRankSlotShift)
};
static const uint32_t kNoRankBlock = 0xFFFFFFFFu;
struct RankPages {
    uintptr_t base;
    size_t pages;
    uint32_t* blocks; // each page's block, or kNoRankBlock; null: no table
    uint32_t* slots;  // the blocks, kNotRanked where no child lies
};

// One ranked child of a long sort in a table by its item's address.
struct RankSlot {
    const NoteItem* item; // null = free
    uint32_t rank;
};

// What one sort compares by, read from the view options when it starts.
struct SortParams {
    int32_t arrangeKey; // 0 name, 1 priority, 2 category, 3 check flag, 4 due date
    int32_t ascending;  // 1 ascending, 0 descending
    SortKeyCache* keys; // the texts' sort keys for By Name and By Category; may be null
    // A long sort ranks the children it may meet once it has compared
    // rankAfter times (0: never): the top level, or the items below the
    // identifier parentId. A child's rank is its place in ascending order
    // (equal keys share one), found by its item's address alone, so that
    // no comparison reads a record: in pages where the children lie close
    // together, else in byAddress (addressMask + 1 slots, at most two
    // thirds full). Two ranked children compare by rank alone.
    uint32_t rankAfter, compared;
    bool rankTopLevel;
    uint32_t parentId;
    RankPages pages;
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
