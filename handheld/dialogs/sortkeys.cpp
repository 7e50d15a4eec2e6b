#include "sortkeys.h"

#include "notemodel.h"
#include "widetext.h"

#include <string.h>

static const size_t kFirstSlots = 1024, kFirstBytes = 1 << 16;

void initSortKeys(SortKeyCache* cache, int field) {
    memset(cache, 0, sizeof *cache);
    cache->field = field;
}

void freeSortKeys(SortKeyCache* cache) {
    modelFree(cache->items);
    modelFree(cache->offsets);
    modelFree(cache->lengths);
    modelFree(cache->bytes);
    memset(cache, 0, sizeof *cache);
}

static size_t slotOf(const SortKeyCache* cache, const NoteItem* item) {
    size_t hash = (size_t)((uintptr_t)item >> 4) * 2654435761u;
    size_t slot = hash & (cache->slots - 1);
    while (cache->items[slot] && cache->items[slot] != item)
        slot = (slot + 1) & (cache->slots - 1);
    return slot;
}

static int growSlots(SortKeyCache* cache) {
    size_t slots = cache->slots ? cache->slots * 2 : kFirstSlots;
    const NoteItem** items = (const NoteItem**)modelAllocArray(slots, sizeof(NoteItem*));
    uint32_t* offsets = (uint32_t*)modelAllocArray(slots, sizeof(uint32_t));
    uint32_t* lengths = (uint32_t*)modelAllocArray(slots, sizeof(uint32_t));
    if (!items || !offsets || !lengths) {
        modelFree(items);
        modelFree(offsets);
        modelFree(lengths);
        return 0;
    }
    SortKeyCache grown = *cache;
    grown.items = items;
    grown.offsets = offsets;
    grown.lengths = lengths;
    grown.slots = slots;
    for (size_t i = 0; i < cache->slots; ++i) {
        if (!cache->items[i])
            continue;
        size_t slot = slotOf(&grown, cache->items[i]);
        items[slot] = cache->items[i];
        offsets[slot] = cache->offsets[i];
        lengths[slot] = cache->lengths[i];
    }
    modelFree(cache->items);
    modelFree(cache->offsets);
    modelFree(cache->lengths);
    *cache = grown;
    return 1;
}

// Room for need more bytes; the keys are found by offset, so the block
// may move.
static int reserveBytes(SortKeyCache* cache, size_t need) {
    if (cache->bytesUsed + need <= cache->bytesRoom)
        return 1;
    size_t room = cache->bytesRoom ? cache->bytesRoom : kFirstBytes;
    while (room < cache->bytesUsed + need)
        room *= 2;
    if (room > UINT32_MAX)
        return 0;
    BYTE* bytes = (BYTE*)modelAlloc(room);
    if (!bytes)
        return 0;
    if (cache->bytes)
        memcpy(bytes, cache->bytes, cache->bytesUsed);
    modelFree(cache->bytes);
    cache->bytes = bytes;
    cache->bytesRoom = room;
    return 1;
}

// The slot holding the item's key, made on first use; slots when it could
// not be made.
static size_t keyOf(SortKeyCache* cache, const NoteItem* item) {
    if ((cache->used + 1) * 2 > cache->slots && !growSlots(cache))
        return SIZE_MAX;
    size_t slot = slotOf(cache, item);
    if (cache->items[slot])
        return slot;
    const WideChar* field = cache->field == kArrangeByName ? item->name : item->category;
    size_t cap = cache->field == kArrangeByName ? kNameChars : kCategoryChars;
    int length = (int)wideLength(field, cap);
    // The empty text gets the locale's key for "", so that texts of
    // ignorable characters alone still compare equal to it.
    const WCHAR* text = length ? (const WCHAR*)field : L"";
    int count = length ? length : -1;
    DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    int need = LCMapStringW(LOCALE_USER_DEFAULT, flags, text, count, nullptr, 0);
    if (need <= 0 || !reserveBytes(cache, (size_t)need))
        return SIZE_MAX;
    BYTE* key = cache->bytes + cache->bytesUsed;
    int made = LCMapStringW(LOCALE_USER_DEFAULT, flags, text, count, (LPWSTR)key, need);
    if (made <= 0)
        return SIZE_MAX;
    cache->items[slot] = item;
    cache->offsets[slot] = (uint32_t)cache->bytesUsed;
    cache->lengths[slot] = (uint32_t)made;
    cache->bytesUsed += (size_t)made;
    ++cache->used;
    return slot;
}

int compareSortKeys(SortKeyCache* cache, const NoteItem* a, const NoteItem* b) {
    if (cache->broken)
        return 0;
    size_t slotA = keyOf(cache, a);
    size_t slotB = slotA == SIZE_MAX ? SIZE_MAX : keyOf(cache, b);
    if (slotB == SIZE_MAX) {
        cache->broken = true;
        return 0;
    }
    // Making b's key may have grown the table: find a's again.
    slotA = slotOf(cache, a);
    uint32_t lengthA = cache->lengths[slotA], lengthB = cache->lengths[slotB];
    int order = memcmp(cache->bytes + cache->offsets[slotA], cache->bytes + cache->offsets[slotB],
                       lengthA < lengthB ? lengthA : lengthB);
    if (order == 0)
        order = lengthA < lengthB ? -1 : (lengthA > lengthB ? 1 : 0);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
