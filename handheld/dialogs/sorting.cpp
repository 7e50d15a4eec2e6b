#include "sorting.h"

#include "filledshape.h"
#include "notemodel.h"
#include "program.h"
#include "treefill.h"
#include "treenode.h"
#include "widetext.h"

#include <algorithm>
#include <string.h>

// CompareStringW's 1 / 2 / 3 as -1 / 0 / +1. A text the platform cannot
// compare counts as equal rather than giving the sort a meaningless result.
static int compareText(const WideChar* a, size_t aCap, const WideChar* b, size_t bCap) {
    int result =
        CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, (const WCHAR*)a,
                       (int)wideLength(a, aCap), (const WCHAR*)b, (int)wideLength(b, bCap));
    return result ? result - 2 : 0;
}

// Sibling lists are in no particular order of the key, so which of two
// numbers is larger is a coin toss: the comparisons are written without
// branches on it, which the processor would mispredict half the time in a
// long sort.
static int compareNumbers(uint32_t a, uint32_t b) {
    return (int)(a > b) - (int)(a < b);
}

// A date's fields from the year down to the milliseconds, packed so that
// two words compare as the fields do one by one: the order of their file
// times, also for the impossible dates a damaged file may carry, which the
// platform refuses to convert.
static int compareDates(const SystemDate& a, const SystemDate& b) {
    uint64_t aHigh =
        (uint64_t)a.year << 48 | (uint64_t)a.month << 32 | (uint64_t)a.day << 16 | a.hour;
    uint64_t bHigh =
        (uint64_t)b.year << 48 | (uint64_t)b.month << 32 | (uint64_t)b.day << 16 | b.hour;
    uint64_t aLow = (uint64_t)a.minute << 32 | (uint64_t)a.second << 16 | a.milliseconds;
    uint64_t bLow = (uint64_t)b.minute << 32 | (uint64_t)b.second << 16 | b.milliseconds;
    int high = (int)(aHigh > bHigh) - (int)(aHigh < bHigh);
    int low = (int)(aLow > bLow) - (int)(aLow < bLow);
    return high ? high : low;
}

// Ascending order by the key; descending is its exact reverse.
static inline int ascendingOrder(const NoteItem* a, const NoteItem* b, int arrangeKey) {
    switch (arrangeKey) {
    case kArrangeByName:
        return compareText(a->name, kNameChars, b->name, kNameChars);
    case kArrangeByPriority:
        return compareNumbers(a->priority, b->priority);
    case kArrangeByCategory:
        return compareText(a->category, kCategoryChars, b->category, kCategoryChars);
    case kArrangeByCheck:
        // Only "checked" counts: a state a damaged file left outside 1 and 2
        // sorts with the unchecked items, so the order stays consistent.
        return compareNumbers(a->checkState == kChecked, b->checkState == kChecked);
    case kArrangeByDate: {
        // Items without a date follow every dated one.
        int dated = compareNumbers(!hasDueDate(a), !hasDueDate(b));
        if (dated || !hasDueDate(a))
            return dated;
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

// The bits set in x; the 32-bit target has no instruction for it.
static inline uint32_t countBits(uint32_t x) {
    x = x - ((x >> 1) & 0x55555555u);
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    return (((x + (x >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

static_assert(sizeof(NoteItem) >= (1u << kRankStepShift), "one step per item at most");

// The table index of the child at item (in ranks, keys or values);
// kNotInRanks for any other.
static inline uint32_t rankIndex(const ChildRanks* table, LPARAM item) {
    uintptr_t offset = (uintptr_t)item - table->from;
    if (offset >= table->span)
        return kNotInRanks;
    const RankPage& page = table->pages[offset >> kRankPageShift];
    uint32_t bit = 1u << ((offset >> kRankStepShift) & 31);
    return page.held & bit ? page.first + countBits(page.held & (bit - 1)) : kNotInRanks;
}

// The pages of the children (see ChildRanks), what they compare by still to
// come, in one block; null when the children lie so far apart that the pages
// would outnumber them many times.
static ChildRanks* makeChildRanks(NoteItem* const* items, size_t count) {
    if (!count)
        return nullptr;
    uintptr_t lowest = (uintptr_t)items[0], highest = lowest;
    for (size_t i = 1; i < count; ++i) {
        uintptr_t at = (uintptr_t)items[i];
        lowest = at < lowest ? at : lowest;
        highest = at > highest ? at : highest;
    }
    size_t pages = (size_t)((highest - lowest) >> kRankPageShift) + 1;
    if (pages > count * 4 + 64)
        return nullptr;
    ChildRanks* table = (ChildRanks*)modelAlloc(sizeof(ChildRanks) + pages * sizeof(RankPage));
    if (!table)
        return nullptr;
    table->from = lowest;
    table->span = highest - lowest + 1;
    table->pages = (RankPage*)(table + 1);
    memset(table->pages, 0, pages * sizeof(RankPage));
    for (size_t i = 0; i < count; ++i) {
        uintptr_t offset = (uintptr_t)items[i] - lowest;
        table->pages[offset >> kRankPageShift].held |= 1u << ((offset >> kRankStepShift) & 31);
    }
    uint32_t first = 0;
    for (size_t p = 0; p < pages; ++p) {
        table->pages[p].first = first;
        first += countBits(table->pages[p].held);
    }
    return table;
}

// The item's key by a number as one number that orders as compareItems
// does: priority, the check flag, or the due date with its fields packed
// (the undated after every dated one). kNoValue for a date whose fields lie
// outside the calendar's ranges (a damaged file), which is compared as
// before.
static uint64_t numberValue(const NoteItem* item, int arrangeKey) {
    switch (arrangeKey) {
    case kArrangeByPriority:
        return item->priority;
    case kArrangeByCheck:
        return item->checkState == kChecked;
    case kArrangeByDate: {
        if (!hasDueDate(item))
            return (uint64_t)1 << 62;
        const SystemDate& d = item->dueDate;
        if (d.month > 15 || d.day > 31 || d.hour > 31 || d.minute > 63 || d.second > 63 ||
            d.milliseconds > 1023)
            return kNoValue;
        return (uint64_t)d.year << 36 | (uint64_t)d.month << 32 | (uint64_t)d.day << 27 |
               (uint64_t)d.hour << 22 | (uint64_t)d.minute << 16 | (uint64_t)d.second << 10 |
               d.milliseconds;
    }
    default:
        return kNoValue;
    }
}

static void freeChildRanks(ChildRanks* table) {
    if (table) {
        modelFree(table->ranks);
        modelFree(table->keys);
        modelFree(table->values);
    }
    modelFree(table);
}

// Fills the table with what the children compare by: each child's value by
// a number; by names, which nearly all differ and whose ranking would be a
// sort of its own, each child's key; otherwise (few texts among many
// children, as categories) the keys' ranks. False when memory ran short.
static bool fillChildRanks(SortParams* sort, ChildRanks* table, NoteItem* const* items,
                           size_t count, bool distinct) {
    if (!sort->keys) {
        // Read once, where the sort would read two records for every
        // comparison.
        table->values = (uint64_t*)modelAllocArray(count + 1, sizeof(uint64_t));
        for (size_t i = 0; i < count && table->values; ++i)
            table->values[rankIndex(table, (LPARAM)items[i])] =
                numberValue(items[i], sort->arrangeKey);
        return table->values != nullptr;
    }
    if (distinct) {
        table->keys = (ChildKey*)modelAllocArray(count + 1, sizeof(ChildKey));
        bool made = table->keys != nullptr;
        for (size_t i = 0; i < count && made; ++i)
            made = makeChildKey(sort->keys, items[i],
                                &table->keys[rankIndex(table, (LPARAM)items[i])]);
        return made;
    }
    uint32_t* ranks = (uint32_t*)modelAllocArray(count + 1, sizeof(uint32_t));
    table->ranks = (uint32_t*)modelAllocArray(count + 1, sizeof(uint32_t));
    bool ranked = ranks && table->ranks && rankSortKeyTexts(sort->keys, items, count, ranks);
    for (size_t i = 0; i < count && ranked; ++i)
        table->ranks[rankIndex(table, (LPARAM)items[i])] = ranks[i];
    modelFree(ranks);
    return ranked;
}

// The table of the children the sort may meet: they are known from the
// list in the Default View. A damaged list may place an item elsewhere;
// the ones not in the table still compare by their keys or records. Where
// the children lie too far apart for a table, a sort by categories still
// ranks the keys in the cache's table by address.
static void rankChildren(SortParams* sort) {
    NoteItem** items = (NoteItem**)modelAllocArray((size_t)gList.count + 1, sizeof(NoteItem*));
    if (!items)
        return;
    size_t count = 0;
    for (NoteItem* item = gList.head; item && count < (size_t)gList.count; item = item->next)
        if (sort->rankTopLevel ? item->level == 1
                               : item->level != 1 && item->parentId == sort->parentId)
            items[count++] = item;
    bool distinct = sort->keys && sort->keys->texts.used * 4 > sort->keys->items.used;
    ChildRanks* table = makeChildRanks(items, count);
    if (table && fillChildRanks(sort, table, items, count, distinct)) {
        sort->childRanks = table;
        table = nullptr;
    } else if (!table && sort->keys && !distinct) {
        rankSortKeys(sort->keys, items, count);
    }
    freeChildRanks(table);
    modelFree(items);
}

// The order of a and b from the table, false when either is not in it.
static bool compareInTable(const SortParams* sort, LPARAM a, LPARAM b, int* order) {
    const ChildRanks* table = sort->childRanks;
    uint32_t at = rankIndex(table, a), other = rankIndex(table, b);
    if (at == kNotInRanks || other == kNotInRanks)
        return false;
    if (table->values) {
        uint64_t first = table->values[at], second = table->values[other];
        if (first == kNoValue || second == kNoValue)
            return false;
        *order = (int)(first > second) - (int)(first < second);
    } else if (table->keys) {
        *order = compareChildKeys(sort->keys, table->keys[at], table->keys[other]);
    } else {
        uint32_t first = table->ranks[at], second = table->ranks[other];
        *order = (int)(first > second) - (int)(first < second);
    }
    return true;
}

int CALLBACK compareForArrange(LPARAM a, LPARAM b, LPARAM params) {
    SortParams* sort = (SortParams*)params;
    // A long sort makes its table once, and compares from it from then on.
    // Keys that could not be made leave the texts to compare directly.
    bool keysWhole = !sort->keys || !sort->keys->broken;
    if (sort->rankAfter && keysWhole && ++sort->compared == sort->rankAfter)
        rankChildren(sort);
    int order = 0;
    if (sort->childRanks && compareInTable(sort, a, b, &order))
        return sort->ascending ? order : -order;
    const NoteItem* first = (const NoteItem*)a;
    const NoteItem* second = (const NoteItem*)b;
    if (first && second && sort->keys && keysWhole && comparesText(sort->arrangeKey)) {
        order = compareSortKeys(sort->keys, first, second);
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

// The platform's wait cursor is shared and never destroyed; asking for it
// again costs as much as a short sort.
static HCURSOR waitCursor() {
    static HCURSOR cursor;
    if (!cursor)
        cursor = LoadCursorW(nullptr, IDC_WAIT);
    return cursor;
}

// The node a fill has just made with its children in the arrangement's
// order, while the fill opens it; null otherwise.
static HTREEITEM gArrangedNode;

void setArrangedNode(HTREEITEM node) {
    gArrangedNode = node;
}

// Ranking walks the whole list, so it waits until the sort has compared
// about half as often as the list has items: a long sibling list, where
// comparing ranks instead of keys saves far more.
static const uint32_t kFewestBeforeRanks = 512;

static void planRanks(HWND tree, HTREEITEM node, SortParams* params) {
    bool byNumber = params->arrangeKey == kArrangeByPriority ||
                    params->arrangeKey == kArrangeByCheck || params->arrangeKey == kArrangeByDate;
    if (gOptions.viewMode != kDefaultView || (!params->keys && !byNumber))
        return;
    if (node == TreeView_GetRoot(tree)) {
        params->rankTopLevel = true;
    } else {
        const NoteItem* item = nodeItem(tree, node);
        if (!item)
            return;
        params->parentId = item->id;
    }
    uint32_t half = gList.count > 0 ? (uint32_t)gList.count / 2 : 0;
    params->rankAfter = half > kFewestBeforeRanks ? half : kFewestBeforeRanks;
}

// A sort by the view options' key and direction, keys ready for a text.
static void startSort(SortParams* params, SortKeyCache* keys) {
    initSortKeys(keys, gOptions.arrangeKey);
    *params = SortParams();
    params->arrangeKey = gOptions.arrangeKey;
    params->ascending = gOptions.ascending;
    params->keys = comparesText(gOptions.arrangeKey) ? keys : nullptr;
}

// A walk over neighbours in a list: by a text, each child's key is made
// once (as the sort's table makes it), the last one kept for the next pair.
struct OrderCheck {
    const SortParams* params;
    const NoteItem* last; // whose key keys[at] is; null before the first
    ChildKey keys[2];
    int at;
    bool unkeyed; // a key could not be made
};

static bool keyOfNext(OrderCheck* check, const NoteItem* item, int into) {
    check->unkeyed = check->unkeyed || !makeChildKey(check->params->keys, item, &check->keys[into]);
    return !check->unkeyed;
}

static bool keepsOrder(const NoteItem* first, const NoteItem* second, void* context) {
    OrderCheck* check = (OrderCheck*)context;
    const SortParams* params = check->params;
    if (!params->keys || !first || !second)
        return compareItems(first, second, params->arrangeKey, params->ascending) <= 0;
    if (check->last != first) {
        check->at = 0;
        if (!keyOfNext(check, first, 0))
            return false;
    }
    int next = 1 - check->at;
    if (!keyOfNext(check, second, next))
        return false;
    int order = compareChildKeys(params->keys, check->keys[check->at], check->keys[next]);
    check->last = second;
    check->at = next;
    return (params->ascending ? order : -order) <= 0;
}

// Whether the children the fill made stand in the arrangement's order as
// they are: the control's sort keeps equal children in their order, so it
// would move none of them. One comparison a child against the sort's many,
// and a list out of order is usually told by its first few.
static bool alreadyArranged(HWND tree, HTREEITEM node, const SortParams* params) {
    OrderCheck check = {};
    check.params = params;
    bool ordered = filledChildrenInOrder(tree, node, keepsOrder, &check);
    return ordered && !check.unkeyed;
}

void sortChildren(HWND tree, HTREEITEM node) {
    if (!tree || !node || node == gArrangedNode)
        return;
    if (gOptions.arrangeKey == kArrangeByCheck && !takeTickedChecks(tree))
        takeLiveChecks(tree, node);
    SortKeyCache keys;
    SortParams params;
    startSort(&params, &keys);
    if (alreadyArranged(tree, node, &params)) {
        freeSortKeys(&keys);
        return;
    }
    planRanks(tree, node, &params);
    TVSORTCB sort = {};
    sort.hParent = node;
    sort.lpfnCompare = compareForArrange;
    sort.lParam = (LPARAM)&params;
    HCURSOR previous = SetCursor(waitCursor());
    SendMessageW(tree, TVM_SORTCHILDRENCB, FALSE, (LPARAM)&sort);
    SetCursor(previous);
    freeChildRanks(params.childRanks);
    freeSortKeys(&keys);
}

int arrangeOrder(NoteItem* const* items, int32_t count, int32_t* order) {
    for (int32_t i = 0; i < count; ++i)
        order[i] = i;
    SortKeyCache keys;
    SortParams params;
    startSort(&params, &keys);
    std::stable_sort(order, order + count, [items, &params](int32_t a, int32_t b) {
        return compareForArrange((LPARAM)items[a], (LPARAM)items[b], (LPARAM)&params) < 0;
    });
    // A key that could not be made mid-way leaves pairs compared two ways.
    bool whole = !keys.broken;
    freeSortKeys(&keys);
    if (!whole)
        for (int32_t i = 0; i < count; ++i)
            order[i] = i;
    return whole;
}
