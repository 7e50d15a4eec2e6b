// The grouped views: every shown item flat under one group node per distinct
// label. Groups and items are ordered here, by the text the control's sorted
// insertion compares (letter case ignored, equal texts in list order), and
// inserted at the end of their siblings: the control then never rescans a
// sibling list, and every group node is made before the first item so that
// each item insertion names a parent the control finds at once.
#include "treefill.h"

#include "keymap.h"
#include "notemodel.h"
#include "program.h"
#include "radixsort.h"
#include "sortkeys.h"
#include "treenode.h"
#include "widetext.h"

#include <algorithm>
#include <stdio.h>
#include <string.h>

namespace {

struct Group {
    WCHAR label[kLabelChars];
    int32_t firstMember; // index into the members array once sorted
    int32_t memberCount;
    const BYTE* key;
    int32_t keyBytes;
    HTREEITEM node;
};

struct Member {
    NoteItem* item;
    int32_t group;
    const BYTE* key;
    int32_t keyBytes;
    // Read with the record in list order: the insertion goes in display
    // order, where the records lie scattered.
    uint16_t icon, checkState;
};

// A member in its group's order: its key's head (by), so that most
// comparisons read no member, and where the member is.
struct Placed {
    uint64_t by;
    int32_t member;
};

// Sort keys of the user's locale, ignoring case: comparing two keys byte by
// byte gives the order of a case-insensitive locale comparison.
struct KeyArena {
    BYTE* bytes;
    size_t used, room;
};

// Label -> group index, open addressing; it doubles as the groups come,
// from a few slots, since most views have a handful of labels.
struct LabelMap {
    int32_t* slots; // -1 empty
    size_t mask;
};

// The group labels that take formatting, each made once per fill with its
// group: the label of each priority, and the day of each date. A line
// answers only for the very priority it was filled for.
struct LabelCache {
    uint16_t priority[16];
    bool priorityFilled[16];
    WCHAR priorityLabel[16][32];
    int32_t priorityGroup[16];
    int32_t undatedGroup; // likewise for the items without a date
};

// Day -> group: the locale formats each distinct day once, however many
// items share it, and the days are as many as the calendar has. The map
// doubles as it fills.
struct DayGroups {
    KeyMap map;
    size_t used;
};

} // namespace

// Room for need more bytes at the arena's end. Keys already handed out
// point into the old block, so blocks are chained rather than moved: the
// first bytes of each block hold the previous one.
static bool reserveKeyRoom(KeyArena* arena, size_t need) {
    if (arena->bytes && arena->used + need <= arena->room)
        return true;
    // A block is cleared to its end: one for a known need is made to
    // measure.
    size_t grown = arena->room ? arena->room * 2 : 1 << 16;
    if (grown < need)
        grown = need;
    BYTE* block = (BYTE*)modelAlloc(grown + sizeof(BYTE*));
    if (!block)
        return false;
    memcpy(block, &arena->bytes, sizeof(BYTE*));
    arena->bytes = block + sizeof(BYTE*);
    arena->used = 0;
    arena->room = grown;
    return true;
}

static const BYTE* makeKey(KeyArena* arena, const WCHAR* text, int length, int32_t* keyBytes) {
    *keyBytes = 0;
    if (length <= 0 || !reserveKeyRoom(arena, kSortKeyRoom))
        return (const BYTE*)"";
    int need = 0;
    int made = mapSortKey(text, length, arena->bytes + arena->used, kSortKeyRoom, &need);
    if (!made && need > kSortKeyRoom && reserveKeyRoom(arena, (size_t)need))
        made = mapSortKey(text, length, arena->bytes + arena->used, need, &need);
    if (!made)
        return (const BYTE*)"";
    const BYTE* key = arena->bytes + arena->used;
    arena->used += (size_t)made;
    *keyBytes = made;
    return key;
}

static void freeArena(KeyArena* arena) {
    BYTE* block = arena->bytes;
    while (block) {
        BYTE* start = block - sizeof(BYTE*);
        memcpy(&block, start, sizeof(BYTE*));
        modelFree(start);
    }
    memset(arena, 0, sizeof *arena);
}

// Room for one more group, of at most most: the groups begin few and
// double, where room for one per item would be a large block to clear for
// a handful of categories. False when memory ran short.
static bool roomForGroup(Group** groups, int32_t count, int32_t* room, size_t most) {
    if (count < *room)
        return true;
    int32_t grown = (size_t)*room * 2 < most ? *room * 2 : (int32_t)most;
    Group* bigger = (Group*)modelAllocArray((size_t)grown, sizeof(Group));
    if (!bigger)
        return false;
    memcpy(bigger, *groups, (size_t)count * sizeof(Group));
    modelFree(*groups);
    *groups = bigger;
    *room = grown;
    return true;
}

static bool keyLess(const BYTE* a, int32_t aBytes, const BYTE* b, int32_t bBytes) {
    return compareSortKeyBytes(a, (size_t)aBytes, b, (size_t)bBytes) < 0;
}

static uint32_t hashLabel(const WCHAR* label) {
    uint32_t h = 2166136261u;
    for (; *label; ++label)
        h = (h ^ (uint32_t)*label) * 16777619u;
    return h;
}

static size_t labelSlot(const LabelMap* map, const Group* groups, const WCHAR* label) {
    size_t slot = hashLabel(label) & map->mask;
    while (map->slots[slot] != -1 && !sameLabel(groups[map->slots[slot]].label, label))
        slot = (slot + 1) & map->mask;
    return slot;
}

// Room in the map for one group more than count, kept at most half full;
// false when memory ran short.
static bool roomForLabel(LabelMap* map, const Group* groups, int32_t count) {
    size_t slots = map->mask + 1;
    if (map->slots && ((size_t)count + 1) * 2 <= slots)
        return true;
    LabelMap grown = {};
    size_t room = map->slots ? slots * 2 : 64;
    grown.slots = (int32_t*)modelAllocArray(room, sizeof(int32_t));
    if (!grown.slots)
        return false;
    grown.mask = room - 1;
    memset(grown.slots, 0xFF, room * sizeof(int32_t));
    for (int32_t g = 0; g < count; ++g)
        grown.slots[labelSlot(&grown, groups, groups[g].label)] = g;
    modelFree(map->slots);
    *map = grown;
    return true;
}

// One block for the name keys of every item that shares its group, where
// blocks that double would clear more than they hold.
static size_t memberKeyBytes(const Member* members, int32_t count, const Group* groups) {
    size_t bytes = kSortKeyRoom;
    for (int32_t i = 0; i < count; ++i)
        if (groups[members[i].group].memberCount > 1)
            bytes += nameKeyRoom(members[i].item);
    return bytes;
}

// The whole fields: a damaged record may carry any month or day, so no
// packing into fewer bits would tell every day apart.
static uint64_t dayKey(const SystemDate& d) {
    return (uint64_t)d.year << 32 | (uint64_t)d.month << 16 | d.day;
}

// Remembers the day's group; when memory runs short the day is only
// formatted again when it is next met.
static void rememberDay(DayGroups* days, uint64_t day, int32_t group) {
    if ((days->used + 1) * 2 > days->map.mask + 1) {
        KeyMap grown;
        if (!initKeyMap(&grown, days->map.mask + 1)) {
            freeKeyMap(&grown);
            return;
        }
        for (size_t i = 0; i <= days->map.mask; ++i)
            if (days->map.values[i] != -1)
                keyMapRemember(&grown, days->map.keys[i], days->map.values[i]);
        freeKeyMap(&days->map);
        days->map = grown;
    }
    keyMapRemember(&days->map, day, group);
    ++days->used;
}

static const WCHAR* cachedPriorityLabel(LabelCache* cache, const NoteItem* item, int32_t** group) {
    uint32_t line = item->priority & 15u;
    if (!cache->priorityFilled[line] || cache->priority[line] != item->priority) {
        groupLabel(item, kByPriority, cache->priorityLabel[line], 32);
        cache->priority[line] = item->priority;
        cache->priorityFilled[line] = true;
        cache->priorityGroup[line] = 0;
    }
    *group = &cache->priorityGroup[line];
    return cache->priorityLabel[line];
}

void groupLabel(const NoteItem* item, int viewMode, WCHAR* label, int labelChars) {
    label[0] = 0;
    switch (viewMode) {
    case kByCategory:
        if (item->category[0])
            copyWideField((WideChar*)label, (size_t)labelChars, item->category, kCategoryChars);
        else
            lstrcpynW(label, L"[No Category]", labelChars);
        break;
    case kByDueDate:
        if (!hasDueDate(item)) {
            lstrcpynW(label, L"[No Due/Task Date]", labelChars);
        } else {
            SYSTEMTIME date = {};
            date.wYear = item->dueDate.year;
            date.wMonth = item->dueDate.month;
            date.wDay = item->dueDate.day;
            WCHAR text[32];
            // A date the locale cannot format (only a damaged file has one)
            // is still grouped, under its numbers.
            if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, 32))
                _snwprintf(text, 32, L"%04u-%02u-%02u", date.wYear, date.wMonth, date.wDay);
            text[31] = 0;
            lstrcpynW(label, text, labelChars);
        }
        break;
    case kByPriority:
        _snwprintf(label, (size_t)labelChars, L"Priority %d", item->priority + 1);
        label[labelChars - 1] = 0;
        break;
    default:
        break;
    }
}

// A group this large is sorted by its members' heads a byte at a time, and
// only the runs that share a head by their whole keys: a few passes over
// the members where a comparison sort takes log n, each reading keys.
static const int32_t kFewestForRadix = 256;

// The members' stable order by byKey; scratch, with room for count, may be
// null, and a small group goes without it anyway.
template <typename Less>
static void sortGroup(Placed* first, int32_t count, Placed* scratch, Less byKey) {
    if (count < kFewestForRadix || !scratch) {
        std::stable_sort(first, first + count, byKey);
        return;
    }
    sortByValue(first, scratch, (size_t)count);
    for (int32_t run = 0, end = 0; run < count; run = end) {
        for (end = run + 1; end < count && first[end].by == first[run].by;)
            ++end;
        if (end - run > 1)
            std::stable_sort(first + run, first + end, byKey);
    }
}

void fillGroupedView(HWND tree, HTREEITEM root, int viewMode) {
    size_t n = 0;
    for (const NoteItem* it = gList.head; it; it = it->next)
        ++n;
    int32_t groupRoom = n < 16 ? (int32_t)n + 1 : 16;
    Group* groups = (Group*)modelAllocArray((size_t)groupRoom, sizeof(Group));
    Member* members = (Member*)modelAllocArray(n + 1, sizeof(Member));
    Placed* sorted = (Placed*)modelAllocArray(n + 1, sizeof(Placed));
    int32_t* order = nullptr; // the groups' order, once they are known
    LabelMap map = {};
    LabelCache* labels = (LabelCache*)modelAlloc(sizeof(LabelCache));
    DayGroups days = {};
    KeyArena arena = {};
    Placed* scratch = nullptr;
    if (!groups || !members || !sorted || !labels || !roomForLabel(&map, groups, 0) ||
        (viewMode == kByDueDate && !initKeyMap(&days.map, 128)))
        goto done; // out of memory: the root node alone
    {
        int32_t groupCount = 0, memberCount = 0;
        for (NoteItem* item = gList.head; item; item = item->next) {
            if (gOptions.hideChecked && item->checkState == kChecked)
                continue;
            // A formatted label comes with the place of its group: once the
            // group is found, the next item of that day or priority needs
            // no search.
            WCHAR own[kLabelChars];
            const WCHAR* label = own;
            int32_t* known = nullptr;
            bool dated = viewMode == kByDueDate && hasDueDate(item);
            uint64_t day = dated ? dayKey(item->dueDate) : 0;
            int32_t g = dated ? keyMapFind(&days.map, day) : -1;
            if (dated) {
                if (g == -1)
                    groupLabel(item, kByDueDate, own, kLabelChars);
            } else if (viewMode == kByPriority) {
                label = cachedPriorityLabel(labels, item, &known);
            } else if (viewMode == kByCategory && item->category[0] &&
                       wideLength(item->category, kCategoryChars) < kCategoryChars) {
                // A category that ends inside its field is its own label,
                // read in place; only a new group copies it.
                label = (const WCHAR*)item->category;
            } else {
                groupLabel(item, viewMode, own, kLabelChars);
                if (viewMode == kByDueDate)
                    known = &labels->undatedGroup;
            }
            if (known && *known)
                g = *known - 1;
            if (g == -1) {
                size_t slot = labelSlot(&map, groups, label);
                g = map.slots[slot];
                if (g == -1) {
                    if (!roomForGroup(&groups, groupCount, &groupRoom, n + 1) ||
                        !roomForLabel(&map, groups, groupCount))
                        goto done; // out of memory: the root node alone
                    slot = labelSlot(&map, groups, label);
                    g = groupCount++;
                    map.slots[slot] = g;
                    Group* group = &groups[g];
                    lstrcpynW(group->label, label, kLabelChars);
                    group->memberCount = 0;
                    group->key =
                        makeKey(&arena, group->label, lstrlenW(group->label), &group->keyBytes);
                }
                if (known)
                    *known = g + 1;
                if (dated)
                    rememberDay(&days, day, g);
            }
            Member* m = &members[memberCount++];
            m->item = item;
            m->icon = item->icon;
            m->checkState = item->checkState;
            m->group = g;
            groups[g].memberCount++;
        }
        // A name's key is made only where it is compared: an item alone in
        // its group needs none. Where one block for them all cannot be had,
        // the arena grows by blocks as they are made.
        if (!reserveKeyRoom(&arena, memberKeyBytes(members, memberCount, groups)) &&
            !reserveKeyRoom(&arena, kSortKeyRoom))
            goto done; // out of memory: the root node alone
        for (int32_t i = 0; i < memberCount; ++i) {
            Member* m = &members[i];
            m->key = nullptr;
            m->keyBytes = 0;
            if (groups[m->group].memberCount > 1)
                m->key = makeKey(&arena, (const WCHAR*)m->item->name,
                                 (int)wideLength(m->item->name, kNameChars), &m->keyBytes);
        }

        // Members grouped in list order (a counting sort), then each group's
        // members sorted by name; equal names keep list order.
        int32_t start = 0, largest = 0;
        for (int32_t g = 0; g < groupCount; ++g) {
            groups[g].firstMember = start;
            start += groups[g].memberCount;
            groups[g].memberCount = 0;
        }
        for (int32_t i = 0; i < memberCount; ++i) {
            const Member& m = members[i];
            Group* group = &groups[m.group];
            uint64_t head = sortKeyWord(m.key, (size_t)m.keyBytes, 0);
            sorted[group->firstMember + group->memberCount++] = Placed{head, i};
            largest = group->memberCount > largest ? group->memberCount : largest;
        }
        // Two keys whose first eight bytes differ order as those do.
        auto byKey = [members](const Placed& a, const Placed& b) {
            if (a.by != b.by)
                return a.by < b.by;
            const Member& first = members[a.member];
            const Member& second = members[b.member];
            return keyLess(first.key, first.keyBytes, second.key, second.keyBytes);
        };
        if (largest >= kFewestForRadix)
            scratch = (Placed*)modelAllocArray((size_t)largest, sizeof(Placed));
        for (int32_t g = 0; g < groupCount; ++g)
            sortGroup(sorted + groups[g].firstMember, groups[g].memberCount, scratch, byKey);
        order = (int32_t*)modelAllocArray((size_t)groupCount + 1, sizeof(int32_t));
        if (!order)
            goto done; // out of memory: the root node alone
        for (int32_t g = 0; g < groupCount; ++g)
            order[g] = g;
        std::stable_sort(order, order + groupCount, [groups](int32_t a, int32_t b) {
            return keyLess(groups[a].key, groups[a].keyBytes, groups[b].key, groups[b].keyBytes);
        });

        int image = viewMode == kByDueDate ? kDateGroupImage : kGroupImage;
        for (int32_t i = 0; i < groupCount; ++i) {
            Group* group = &groups[order[i]];
            group->node = insertGroupNode(tree, root, group->label, image);
        }
        for (int32_t i = 0; i < groupCount; ++i) {
            Group* group = &groups[order[i]];
            if (!group->node)
                continue; // the control refused the group: its items go too
            for (int32_t k = 0; k < group->memberCount; ++k) {
                const Member& m = members[sorted[group->firstMember + k].member];
                insertItemNodeAs(tree, group->node, m.item, m.icon, m.checkState);
            }
        }
    }
done:
    freeArena(&arena);
    freeKeyMap(&days.map);
    modelFree(groups);
    modelFree(members);
    modelFree(sorted);
    modelFree(scratch);
    modelFree(order);
    modelFree(map.slots);
    modelFree(labels);
}
