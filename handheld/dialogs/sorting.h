// Arrangement of sibling lists: the tree view sorts the direct children of
// one node by the document's arrangeKey and ascending.
#pragma once

#include "notetypes.h"
#include "sortkeys.h"

#include <windows.h>
#include <commctrl.h>

// What a long sort compares the children by (a text's rank, a name's key or
// a number), packed in the order of their addresses and found by the
// address without hashing: the span from the lowest child is cut into pages
// of 4 KB, and each page records which of its 32 steps of 128 bytes hold a
// child (items are records of more than 128 bytes, so two never share a
// step) and the index of its first one; the children before it in the page
// are counted from the bits.
enum { kRankPageShift = 12, kRankStepShift = 7 };
static const uint32_t kNotInRanks = 0xFFFFFFFFu;

struct RankPage {
    uint32_t first; // the table index of the page's first child
    uint32_t held;  // bit s: a child begins at step s of the page
};

struct ChildRanks {
    uintptr_t from, span; // the lowest child's address; bytes up to the highest one's
    RankPage* pages;
    uint32_t* ranks;  // by categories: each child's text's rank; null otherwise
    ChildKey* keys;   // by names: each child's key in place of a rank; null otherwise
    uint64_t* values; // by a number: each child's, kNoValue where none fits; null otherwise
};

static const uint64_t kNoValue = ~(uint64_t)0;

// What one sort compares by, read from the view options when it starts.
struct SortParams {
    int32_t arrangeKey; // 0 name, 1 priority, 2 category, 3 check flag, 4 due date
    int32_t ascending;  // 1 ascending, 0 descending
    SortKeyCache* keys; // the texts' sort keys for By Name and By Category; may be null
    // A long sort makes the table by address of the children it may meet
    // (their ranks, keys or values) once it has compared rankAfter times
    // (0: never): the top level, or the items below the identifier
    // parentId.
    uint32_t rankAfter, compared;
    bool rankTopLevel;
    uint32_t parentId;
    ChildRanks* childRanks; // once ranked, where the children lie close enough
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
