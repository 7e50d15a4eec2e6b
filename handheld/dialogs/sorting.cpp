#include "sorting.h"

#include "filledshape.h"
#include "notemodel.h"
#include "program.h"
#include "radixsort.h"
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

// A number's value that no item can have: one whose order is not known.
static const uint64_t kNoValue = ~(uint64_t)0;

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

namespace {

// By a name: its key's first twelve bytes, which decide most comparisons.
struct NameEntry {
    uint64_t by;
    uint32_t then, at;
};

} // namespace

// The entries in ascending order of less, equal ones given one rank:
// ranks[childOf(entry)] for each.
template <typename Entry, typename Less, typename ChildOf>
static void rankEntries(const Entry* entries, size_t count, uint32_t* ranks, Less less,
                        ChildOf childOf) {
    uint32_t rank = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && less(entries[i - 1], entries[i]))
            ++rank;
        ranks[childOf(entries[i])] = rank;
    }
}

// Each number is read once, where the sort would read two records for every
// comparison. Priorities and the flag are small enough to be their own
// ranks; dates are sorted, as the children's indexes by their values so
// that the sort moves four bytes an entry. A damaged date, which has no
// value, leaves its child unranked.
static bool rankByNumbers(const SortParams* sort, NoteItem* const* items, size_t count,
                          uint32_t* ranks) {
    if (sort->arrangeKey != kArrangeByDate) {
        for (size_t i = 0; i < count; ++i) {
            uint64_t value = numberValue(items[i], sort->arrangeKey);
            ranks[i] = value != kNoValue ? (uint32_t)value : kNotRanked;
        }
        return true;
    }
    uint64_t* values = (uint64_t*)modelAllocArray(count + 1, sizeof(uint64_t));
    uint32_t* order = (uint32_t*)modelAllocArray(2 * count + 1, sizeof(uint32_t));
    bool ranked = values && order;
    size_t valued = 0;
    for (size_t i = 0; i < count && ranked; ++i) {
        values[i] = numberValue(items[i], sort->arrangeKey);
        ranks[i] = kNotRanked;
        if (values[i] != kNoValue)
            order[valued++] = (uint32_t)i;
    }
    if (ranked) {
        sortByKey(order, order + count, valued, [values](uint32_t at) { return values[at]; });
        rankEntries(
            order, valued, ranks,
            [values](uint32_t a, uint32_t b) { return values[a] < values[b]; },
            [](uint32_t at) { return at; });
    }
    modelFree(order);
    modelFree(values);
    return ranked;
}

// Room for the tails of count names' keys in one block, in the common
// case of names of a few words; longer ones grow it. Every byte of the
// block is cleared, so it is not made for the longest names.
static size_t nameTailBytes(size_t count) {
    return count * 16 + kSortKeyRoom;
}

// Names nearly all differ, so ranking their texts would be a sort of its
// own: each child's key is made once and the keys sorted, by their first
// word a byte at a time, then each run that shares it by the rest.
static bool rankByNames(SortParams* sort, NoteItem* const* items, size_t count, uint32_t* ranks) {
    SortKeyCache* cache = sort->keys;
    NameEntry* entries = (NameEntry*)modelAllocArray(2 * count + 1, sizeof(NameEntry));
    ChildKey* keys = (ChildKey*)modelAllocArray(count + 1, sizeof(ChildKey));
    // Where one block for all the keys cannot be had, it grows as they come.
    bool ranked = entries && keys &&
                  (reserveSortKeyBytes(cache, nameTailBytes(count)) ||
                   reserveSortKeyBytes(cache, kSortKeyRoom));
    for (size_t i = 0; i < count && ranked; ++i) {
        uint64_t by = 0;
        uint32_t then = 0;
        ranked = makeTailedChildKey(cache, items[i], &keys[i], &by, &then);
        entries[i] = NameEntry{by, then, (uint32_t)i};
    }
    auto byKey = [cache, keys](const NameEntry& a, const NameEntry& b) {
        if (a.by != b.by)
            return a.by < b.by;
        if (a.then != b.then)
            return a.then < b.then;
        const ChildKey& first = keys[a.at];
        const ChildKey& second = keys[b.at];
        if (first.beyond != second.beyond)
            return first.beyond < second.beyond;
        return compareChildKeyTails(cache, first, second) < 0;
    };
    if (ranked) {
        sortByValue(entries, entries + count, count);
        for (size_t run = 0, end = 0; run < count; run = end) {
            for (end = run + 1; end < count && entries[end].by == entries[run].by;)
                ++end;
            if (end - run > 1)
                std::sort(entries + run, entries + end, byKey);
        }
        rankEntries(entries, count, ranks, byKey, [](const NameEntry& e) { return e.at; });
    }
    modelFree(keys);
    modelFree(entries);
    return ranked;
}

static_assert(sizeof(NoteItem) >= (1u << kRankSlotShift), "one record a slot at most");

// The ranks in pages (see RankPages), when the children lie close enough
// together for the table to stay a few bytes a child. False otherwise, or
// when memory ran short.
static bool placeRanksByPages(SortParams* sort, NoteItem* const* items, const uint32_t* ranks,
                              size_t count) {
    if (!count)
        return false;
    uintptr_t low = (uintptr_t)items[0], high = low;
    for (size_t i = 1; i < count; ++i) {
        uintptr_t at = (uintptr_t)items[i];
        low = at < low ? at : low;
        high = at > high ? at : high;
    }
    size_t pages = ((high - low) >> kRankPageShift) + 1;
    if (pages > count + 4096)
        return false;
    RankPages table = {low, pages, (uint32_t*)modelAllocArray(pages, sizeof(uint32_t)), nullptr};
    if (!table.blocks)
        return false;
    memset(table.blocks, 0xFF, pages * sizeof(uint32_t));
    size_t used = 0;
    for (size_t i = 0; i < count; ++i) {
        uint32_t* block = &table.blocks[((uintptr_t)items[i] - low) >> kRankPageShift];
        if (*block == kNoRankBlock)
            *block = (uint32_t)used++;
    }
    if (used * kRankBlockSlots <= 6 * count + 4096)
        table.slots = (uint32_t*)modelAllocArray(used * kRankBlockSlots, sizeof(uint32_t));
    if (!table.slots) {
        modelFree(table.blocks);
        return false;
    }
    memset(table.slots, 0xFF, used * kRankBlockSlots * sizeof(uint32_t));
    for (size_t i = 0; i < count; ++i) {
        uintptr_t offset = (uintptr_t)items[i] - low;
        size_t block = table.blocks[offset >> kRankPageShift];
        table
            .slots[block * kRankBlockSlots + ((offset >> kRankSlotShift) & (kRankBlockSlots - 1))] =
            ranks[i];
    }
    sort->pages = table;
    return true;
}

// The ranks in a table by the items' addresses wherever the items lie.
// False when memory ran short.
static bool placeRanksByAddress(SortParams* sort, NoteItem* const* items, const uint32_t* ranks,
                                size_t count) {
    size_t slots = 16;
    while (slots < count + count / 2 + 1)
        slots *= 2;
    RankSlot* table = (RankSlot*)modelAllocArray(slots, sizeof(RankSlot));
    if (!table)
        return false;
    size_t mask = slots - 1;
    for (size_t i = 0; i < count; ++i) {
        if (ranks[i] == kNotRanked)
            continue; // a child without a rank, such as a damaged date's
        size_t slot = hashItemAddress(items[i]) & mask;
        while (table[slot].item)
            slot = (slot + 1) & mask;
        table[slot] = RankSlot{items[i], ranks[i]};
    }
    sort->byAddress = table;
    sort->addressMask = mask;
    return true;
}

// Ranks the children the sort may meet: they are known from the list in
// the Default View. The ranks go in a table for this sort alone, so that
// no record carries room for them; each child's rank is its own, even
// where a damaged file repeats an identifier. A damaged list may place an
// item elsewhere; such a child is unranked and still compares by its key
// or record. When memory runs short nothing is ranked, and a sort by
// categories still ranks the keys in the cache's table.
static void rankChildren(SortParams* sort) {
    size_t listed = (size_t)gList.count;
    NoteItem** items = (NoteItem**)modelAllocArray(listed + 1, sizeof(NoteItem*));
    uint32_t* ranks = (uint32_t*)modelAllocArray(listed + 1, sizeof(uint32_t));
    size_t count = 0;
    if (items && ranks) {
        for (NoteItem* item = gList.head; item && count < listed; item = item->next)
            if (sort->rankTopLevel ? item->level == 1
                                   : item->level != 1 && item->parentId == sort->parentId)
                items[count++] = item;
        bool byNames = sort->arrangeKey == kArrangeByName;
        if (!sort->keys)
            sort->ranked = rankByNumbers(sort, items, count, ranks);
        else if (byNames)
            sort->ranked = rankByNames(sort, items, count, ranks);
        else // few texts among many children (categories): each is ranked once
            sort->ranked = rankSortKeyTexts(sort->keys, items, count, ranks);
        sort->ranked = sort->ranked && (placeRanksByPages(sort, items, ranks, count) ||
                                        placeRanksByAddress(sort, items, ranks, count));
        if (!sort->ranked && sort->keys && !byNames)
            rankSortKeys(sort->keys, items, count);
    }
    modelFree(ranks);
    modelFree(items);
}

static uint32_t rankOf(const SortParams* sort, const NoteItem* item) {
    const RankPages& table = sort->pages;
    if (table.blocks) {
        uintptr_t offset = (uintptr_t)item - table.base;
        size_t page = offset >> kRankPageShift;
        uint32_t block = page < table.pages ? table.blocks[page] : kNoRankBlock;
        if (block == kNoRankBlock)
            return kNotRanked;
        return table.slots[(size_t)block * kRankBlockSlots +
                           ((offset >> kRankSlotShift) & (kRankBlockSlots - 1))];
    }
    size_t mask = sort->addressMask;
    for (size_t slot = hashItemAddress(item) & mask; sort->byAddress[slot].item;
         slot = (slot + 1) & mask)
        if (sort->byAddress[slot].item == item)
            return sort->byAddress[slot].rank;
    return kNotRanked;
}

int CALLBACK compareForArrange(LPARAM a, LPARAM b, LPARAM params) {
    SortParams* sort = (SortParams*)params;
    // A long sort ranks its children once, and compares their ranks from
    // then on. Keys that could not be made leave the texts to compare
    // directly.
    bool keysWhole = !sort->keys || !sort->keys->broken;
    if (sort->rankAfter && keysWhole && ++sort->compared == sort->rankAfter)
        rankChildren(sort);
    const NoteItem* first = (const NoteItem*)a;
    const NoteItem* second = (const NoteItem*)b;
    if (sort->ranked && first && second) {
        uint32_t at = rankOf(sort, first), other = rankOf(sort, second);
        if (at != kNotRanked && other != kNotRanked) {
            int order = (int)(at > other) - (int)(at < other);
            return sort->ascending ? order : -order;
        }
    }
    int order = 0;
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

// Ranking walks the whole list, so below the root it waits until the sort
// has compared an eighth as often as the list has items: a sibling list of
// that length compares many times more often still, and each comparison of
// ranks saves reading two records or keys. The root's children are ranked
// at the first comparison: a long top level would otherwise compare its
// first children by keys made one by one, and a short one costs one walk,
// for a command the user gives.
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
    uint32_t part = gList.count > 0 ? (uint32_t)gList.count / 8 : 0;
    uint32_t below = part > kFewestBeforeRanks ? part : kFewestBeforeRanks;
    params->rankAfter = params->rankTopLevel ? 1 : below;
}

// A sort by the view options' key and direction, keys ready for a text.
static void startSort(SortParams* params, SortKeyCache* keys) {
    initSortKeys(keys, gOptions.arrangeKey);
    *params = SortParams();
    params->arrangeKey = gOptions.arrangeKey;
    params->ascending = gOptions.ascending;
    params->keys = comparesText(gOptions.arrangeKey) ? keys : nullptr;
}

static void endSort(SortParams* params, SortKeyCache* keys) {
    modelFree(params->pages.blocks);
    modelFree(params->pages.slots);
    modelFree(params->byAddress);
    params->pages = RankPages();
    params->byAddress = nullptr;
    params->addressMask = 0;
    freeSortKeys(keys);
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
    keepOnlyChildKey(params->keys, &check->keys[next]);
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
        endSort(&params, &keys);
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
    endSort(&params, &keys);
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
    endSort(&params, &keys);
    if (!whole)
        for (int32_t i = 0; i < count; ++i)
            order[i] = i;
    return whole;
}
