#include "sorting.h"

#include "program.h"
#include "treefill.h"
#include "treenode.h"
#include "widetext.h"

// CompareStringW's 1 / 2 / 3 as -1 / 0 / +1. A text the platform cannot
// compare counts as equal rather than giving the sort a meaningless result.
static int compareText(const WideChar* a, size_t aCap, const WideChar* b, size_t bCap) {
    int result =
        CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, (const WCHAR*)a,
                       (int)wideLength(a, aCap), (const WCHAR*)b, (int)wideLength(b, bCap));
    return result ? result - 2 : 0;
}

static int compareNumbers(unsigned a, unsigned b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Dates are compared field by field from the year down to the
// milliseconds: the order of their file times, also for the impossible
// dates a damaged file may carry, which the platform refuses to convert.
static int compareDates(const SystemDate& a, const SystemDate& b) {
    const uint16_t left[7] = {a.year, a.month, a.day, a.hour, a.minute, a.second, a.milliseconds};
    const uint16_t right[7] = {b.year, b.month, b.day, b.hour, b.minute, b.second, b.milliseconds};
    for (int i = 0; i < 7; ++i) {
        int order = compareNumbers(left[i], right[i]);
        if (order)
            return order;
    }
    return 0;
}

// Ascending order by the key; descending is its exact reverse.
static int ascendingOrder(const NoteItem* a, const NoteItem* b, int arrangeKey) {
    switch (arrangeKey) {
    case kArrangeByName:
        return compareText(a->name, kNameChars, b->name, kNameChars);
    case kArrangeByPriority:
        return compareNumbers(a->priority, b->priority);
    case kArrangeByCategory:
        return compareText(a->category, kCategoryChars, b->category, kCategoryChars);
    case kArrangeByCheck: {
        // Only "checked" counts: a state a damaged file left outside 1 and 2
        // sorts with the unchecked items, so the order stays consistent.
        bool aChecked = a->checkState == kChecked, bChecked = b->checkState == kChecked;
        if (aChecked == bChecked)
            return 0;
        return aChecked ? 1 : -1;
    }
    case kArrangeByDate: {
        bool aDated = hasDueDate(a), bDated = hasDueDate(b);
        if (!aDated && !bDated)
            return 0;
        if (!aDated)
            return 1;
        if (!bDated)
            return -1;
        return compareDates(a->dueDate, b->dueDate);
    }
    default:
        return 0; // a key no menu offers leaves the order alone
    }
}

int compareItems(const NoteItem* a, const NoteItem* b, int arrangeKey, int ascending) {
    if (!a || !b)
        return 0;
    int order = ascendingOrder(a, b, arrangeKey);
    return ascending ? order : -order;
}

static bool comparesText(int arrangeKey) {
    return arrangeKey == kArrangeByName || arrangeKey == kArrangeByCategory;
}

int CALLBACK compareForArrange(LPARAM a, LPARAM b, LPARAM params) {
    const SortParams* sort = (const SortParams*)params;
    const NoteItem* first = (const NoteItem*)a;
    const NoteItem* second = (const NoteItem*)b;
    if (first && second && sort->keys && !sort->keys->broken && comparesText(sort->arrangeKey)) {
        int order = compareSortKeys(sort->keys, first, second);
        if (!sort->keys->broken)
            return sort->ascending ? order : -order;
    }
    return compareItems(first, second, sort->arrangeKey, sort->ascending);
}

// By Check Flag compares the boxes as they stand: a box ticked since the
// last fill or save is in the node only, so the children's items take
// their nodes' state first.
static void takeLiveChecks(HWND tree, HTREEITEM node) {
    for (HTREEITEM child = TreeView_GetChild(tree, node); child;
         child = TreeView_GetNextSibling(tree, child)) {
        NodeFacts read;
        if (readNode(tree, child, TVIF_PARAM | TVIF_STATE, &read) && read.item)
            read.item->checkState = (uint16_t)read.box;
    }
}

void sortChildren(HWND tree, HTREEITEM node) {
    if (!tree || !node)
        return;
    if (gOptions.arrangeKey == kArrangeByCheck && !takeTickedChecks(tree))
        takeLiveChecks(tree, node);
    SortKeyCache keys;
    initSortKeys(&keys, gOptions.arrangeKey);
    SortParams params = {gOptions.arrangeKey, gOptions.ascending, tree,
                         comparesText(gOptions.arrangeKey) ? &keys : nullptr};
    TVSORTCB sort = {};
    sort.hParent = node;
    sort.lpfnCompare = compareForArrange;
    sort.lParam = (LPARAM)&params;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SendMessageW(tree, TVM_SORTCHILDRENCB, FALSE, (LPARAM)&sort);
    SetCursor(previous);
    freeSortKeys(&keys);
}
