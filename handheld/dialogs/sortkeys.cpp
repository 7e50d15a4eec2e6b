#include "sortkeys.h"

#include "keymap.h"
#include "notemodel.h"
#include "plainkeys.h"
#include "widetext.h"

#include <algorithm>
#include <string.h>

static const size_t kFirstSlots = 1024, kFirstBytes = 1 << 16;

void initSortKeys(SortKeyCache* cache, int field) {
    memset(cache, 0, sizeof *cache);
    cache->field = field;
}

void freeSortKeys(SortKeyCache* cache) {
    modelFree(cache->items.slots);
    modelFree(cache->texts.slots);
    modelFree(cache->bytes);
    memset(cache, 0, sizeof *cache);
}

uint32_t hashItemAddress(const NoteItem* item) {
    uint32_t bits = (uint32_t)((uintptr_t)item >> 4);
    bits = (bits ^ (bits >> 16)) * 0x45D9F3Bu;
    return bits ^ (bits >> 16);
}

int mapSortKey(const WCHAR* text, int count, BYTE* out, int room, int* need) {
    int made = plainSortKey(text, count, out, room);
    if (made > 0) {
        *need = made;
        return made;
    }
    made = LCMapStringW(LOCALE_USER_DEFAULT, kSortKeyFlags, text, count, (LPWSTR)out, room);
    *need = made;
    if (made <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER)
        *need = LCMapStringW(LOCALE_USER_DEFAULT, kSortKeyFlags, text, count, nullptr, 0);
    if (*need < 0)
        *need = 0;
    return made > 0 ? made : 0;
}

static size_t fieldChars(int field) {
    return field == kArrangeByName ? kNameChars : kCategoryChars;
}

static const WideChar* fieldText(int field, const NoteItem* item) {
    return field == kArrangeByName ? item->name : item->category;
}

static const WideChar* textOf(int field, const NoteItem* item, size_t* length) {
    const WideChar* text = fieldText(field, item);
    *length = wideLength(text, fieldChars(field));
    return text;
}

// Whether item's text is text (length characters): the same characters,
// and its own ends there too.
static bool isText(int field, const NoteItem* item, const WideChar* text, size_t length) {
    const WideChar* own = fieldText(field, item);
    return memcmp(own, text, length * sizeof(WideChar)) == 0 &&
           (length == fieldChars(field) || own[length] == 0);
}

// FNV-1a a character at a time, where the byte-wise step takes two, and
// the high bits folded into the low ones the table's mask keeps.
static size_t hashText(const WideChar* text, size_t length) {
    uint32_t hash = kHashStart;
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ text[i]) * 16777619u;
    return hash ^ (hash >> 16);
}

// The slot of item in a table: by its address, or (byText) by its text's
// characters; the slot is free when nothing matches yet.
static size_t slotOf(const SortKeyTable* table, const NoteItem* item, int field, bool byText) {
    size_t mask = table->count - 1;
    if (byText) {
        size_t length = 0;
        const WideChar* text = textOf(field, item, &length);
        size_t slot = hashText(text, length) & mask;
        for (const NoteItem* there; (there = table->slots[slot].item) != nullptr;
             slot = (slot + 1) & mask)
            if (isText(field, there, text, length))
                break;
        return slot;
    }
    size_t slot = hashItemAddress(item) & mask;
    for (const NoteItem* there; (there = table->slots[slot].item) != nullptr;
         slot = (slot + 1) & mask)
        if (there == item)
            break;
    return slot;
}

// Room for one more entry; 0 when memory ran short.
static int makeRoom(SortKeyTable* table, int field, bool byText) {
    if ((table->used + 1) * 2 <= table->count)
        return 1;
    SortKeyTable grown = {};
    grown.count = table->count ? table->count * 2 : kFirstSlots;
    grown.slots = (SortKeySlot*)modelAllocArray(grown.count, sizeof(SortKeySlot));
    if (!grown.slots)
        return 0;
    for (size_t i = 0; i < table->count; ++i)
        if (table->slots[i].item)
            grown.slots[slotOf(&grown, table->slots[i].item, field, byText)] = table->slots[i];
    grown.used = table->used;
    modelFree(table->slots);
    *table = grown;
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

// The locale's key of the item's text, made at the end of the bytes.
static int appendKey(SortKeyCache* cache, const NoteItem* item, SortKeySlot* key) {
    size_t count = 0;
    const WideChar* field = textOf(cache->field, item, &count);
    // The empty text gets the locale's key for "", so that texts of
    // ignorable characters alone still compare equal to it.
    const WCHAR* text = count ? (const WCHAR*)field : L"";
    int chars = count ? (int)count : -1;
    int need = 0;
    if (!reserveBytes(cache, kSortKeyRoom))
        return 0;
    int made = mapSortKey(text, chars, cache->bytes + cache->bytesUsed, kSortKeyRoom, &need);
    if (!made && need > kSortKeyRoom && reserveBytes(cache, (size_t)need))
        made = mapSortKey(text, chars, cache->bytes + cache->bytesUsed, need, &need);
    if (!made)
        return 0;
    key->item = item;
    key->offset = (uint32_t)cache->bytesUsed;
    key->length = (uint32_t)made;
    key->rank = -1;
    key->head = sortKeyWord(cache->bytes + cache->bytesUsed, (size_t)made, 0);
    cache->bytesUsed += (size_t)made;
    return 1;
}

// The item's key, made on first use or taken over from an item with the
// same text; null when it could not be made. The slot stays valid until
// the next item's key is looked up.
static const SortKeySlot* keyOf(SortKeyCache* cache, const NoteItem* item) {
    if (!makeRoom(&cache->items, cache->field, false))
        return nullptr;
    SortKeySlot* slot = &cache->items.slots[slotOf(&cache->items, item, cache->field, false)];
    if (slot->item)
        return slot;
    if (!makeRoom(&cache->texts, cache->field, true))
        return nullptr;
    SortKeySlot* text = &cache->texts.slots[slotOf(&cache->texts, item, cache->field, true)];
    if (!text->item) {
        if (!appendKey(cache, item, text))
            return nullptr;
        ++cache->texts.used;
    }
    *slot = *text;
    slot->item = item;
    ++cache->items.used;
    return slot;
}

uint64_t sortKeyWord(const BYTE* key, size_t length, size_t from) {
    if (from + 8 <= length) {
        // Every key gives up to four words, most of them whole: two
        // big-endian halves, each read with one byte swap, where a loop of
        // 64-bit shifts costs the 32-bit target several instructions a byte.
        const BYTE* at = key + from;
        uint32_t high =
            (uint32_t)at[0] << 24 | (uint32_t)at[1] << 16 | (uint32_t)at[2] << 8 | at[3];
        uint32_t low = (uint32_t)at[4] << 24 | (uint32_t)at[5] << 16 | (uint32_t)at[6] << 8 | at[7];
        return (uint64_t)high << 32 | low;
    }
    uint64_t word = 0;
    for (size_t b = from; b < from + 8; ++b)
        word = word << 8 | (b < length ? key[b] : 0);
    return word;
}

int compareSortKeyBytes(const BYTE* a, size_t aBytes, const BYTE* b, size_t bBytes) {
    int order = memcmp(a, b, aBytes < bBytes ? aBytes : bBytes);
    if (order == 0)
        order = aBytes < bBytes ? -1 : (aBytes > bBytes ? 1 : 0);
    return order;
}

static int compareKeyBytes(const BYTE* bytes, const SortKeySlot& a, const SortKeySlot& b) {
    return compareSortKeyBytes(bytes + a.offset, a.length, bytes + b.offset, b.length);
}

namespace {

struct RankAt {
    uint32_t offset;
    int32_t rank;
};

} // namespace

// Ranks every text's key made so far, and gives each one's offset and rank
// in byOffset when it is not null (room for every text), in the order of
// the ranks; 0 when memory ran short.
static int rankTexts(SortKeyCache* cache, RankAt* byOffset) {
    SortKeyTable* texts = &cache->texts;
    uint32_t* order = (uint32_t*)modelAllocArray(texts->used + 1, sizeof(uint32_t));
    if (!order)
        return 0;
    size_t distinct = 0;
    for (size_t i = 0; i < texts->count; ++i)
        if (texts->slots[i].item)
            order[distinct++] = (uint32_t)i;
    const BYTE* bytes = cache->bytes;
    SortKeySlot* slots = texts->slots;
    std::sort(order, order + distinct, [bytes, slots](uint32_t a, uint32_t b) {
        return compareKeyBytes(bytes, slots[a], slots[b]) < 0;
    });
    int32_t rank = 0;
    for (size_t k = 0; k < distinct; ++k) {
        if (k > 0 && compareKeyBytes(bytes, slots[order[k - 1]], slots[order[k]]) != 0)
            rank = (int32_t)k;
        slots[order[k]].rank = rank;
        if (byOffset)
            byOffset[k] = {slots[order[k]].offset, rank};
    }
    modelFree(order);
    return 1;
}

int rankSortKeys(SortKeyCache* cache, const NoteItem* const* items, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!keyOf(cache, items[i]))
            return 0;
    if (!rankTexts(cache, nullptr))
        return 0;
    // Each item's slot took its text's before the ranks were known.
    SortKeyTable* byItem = &cache->items;
    for (size_t i = 0; i < byItem->count; ++i) {
        SortKeySlot* slot = &byItem->slots[i];
        if (slot->item)
            slot->rank =
                cache->texts.slots[slotOf(&cache->texts, slot->item, cache->field, true)].rank;
    }
    return 1;
}

int rankSortKeyTexts(SortKeyCache* cache, const NoteItem* const* items, size_t count,
                     uint32_t* ranks) {
    SortKeyTable* texts = &cache->texts;
    // Each text's key is found once by its characters; until the ranks are
    // known, ranks holds where its key lies, which names the text.
    for (size_t i = 0; i < count; ++i) {
        if (!makeRoom(texts, cache->field, true))
            return 0;
        SortKeySlot* text = &texts->slots[slotOf(texts, items[i], cache->field, true)];
        if (!text->item) {
            if (!appendKey(cache, items[i], text))
                return 0;
            ++texts->used;
        }
        ranks[i] = text->offset;
    }
    size_t distinct = texts->used;
    RankAt* byOffset = (RankAt*)modelAllocArray(distinct + 1, sizeof(RankAt));
    if (!byOffset || !rankTexts(cache, byOffset)) {
        modelFree(byOffset);
        return 0;
    }
    // Each child's rank is found by its key's offset, one probe a child.
    KeyMap rankAt = {};
    bool mapped = initKeyMap(&rankAt, distinct);
    for (size_t k = 0; k < distinct && mapped; ++k)
        keyMapRemember(&rankAt, byOffset[k].offset, byOffset[k].rank);
    for (size_t i = 0; i < count && mapped; ++i)
        ranks[i] = (uint32_t)keyMapFind(&rankAt, ranks[i]);
    freeKeyMap(&rankAt);
    modelFree(byOffset);
    return mapped ? 1 : 0;
}

int makeChildKey(SortKeyCache* cache, const NoteItem* item, ChildKey* key) {
    SortKeySlot made;
    if (!appendKey(cache, item, &made))
        return 0;
    key->offset = made.offset;
    key->length = made.length;
    key->beyond = childKeyWord(cache, *key, kChildKeyBeyond);
    return 1;
}

uint64_t childKeyWord(const SortKeyCache* cache, const ChildKey& key, size_t from) {
    return sortKeyWord(cache->bytes + key.offset, key.length, from);
}

int compareChildKeys(const SortKeyCache* cache, const ChildKey& a, const ChildKey& b) {
    int order =
        compareSortKeyBytes(cache->bytes + a.offset, a.length, cache->bytes + b.offset, b.length);
    return (order > 0) - (order < 0);
}

int makeTailedChildKey(SortKeyCache* cache, const NoteItem* item, ChildKey* key, uint64_t* head,
                       uint32_t* then) {
    if (!makeChildKey(cache, item, key))
        return 0;
    *head = childKeyWord(cache, *key, 0);
    *then = (uint32_t)(childKeyWord(cache, *key, 8) >> 32);
    size_t tail = key->length > kChildKeyTail ? key->length - kChildKeyTail : 0;
    BYTE* at = cache->bytes + key->offset;
    memmove(at, at + kChildKeyTail, tail);
    cache->bytesUsed = key->offset + tail;
    return 1;
}

int compareChildKeyTails(const SortKeyCache* cache, const ChildKey& a, const ChildKey& b) {
    // With the bytes before the tails alike, a key that ends among them is
    // the start of the other: the shorter orders first.
    if (a.length <= kChildKeyTail || b.length <= kChildKeyTail)
        return (int)(a.length > b.length) - (int)(a.length < b.length);
    int order = compareSortKeyBytes(cache->bytes + a.offset, a.length - kChildKeyTail,
                                    cache->bytes + b.offset, b.length - kChildKeyTail);
    return (order > 0) - (order < 0);
}

void keepOnlyChildKey(SortKeyCache* cache, ChildKey* key) {
    if (cache->items.used || cache->texts.used)
        return;
    memmove(cache->bytes, cache->bytes + key->offset, key->length);
    key->offset = 0;
    cache->bytesUsed = key->length;
}

size_t nameKeyRoom(const NoteItem* item) {
    return 2 * wideLength(item->name, kNameChars) + 8;
}

int reserveSortKeyBytes(SortKeyCache* cache, size_t bytes) {
    return reserveBytes(cache, bytes);
}

int compareSortKeys(SortKeyCache* cache, const NoteItem* a, const NoteItem* b) {
    if (cache->broken)
        return 0;
    const SortKeySlot* found = keyOf(cache, a);
    SortKeySlot first = found ? *found : SortKeySlot{};
    const SortKeySlot* second = found ? keyOf(cache, b) : nullptr;
    if (!second) {
        cache->broken = true;
        return 0;
    }
    if (first.rank >= 0 && second->rank >= 0)
        return (int)(first.rank > second->rank) - (int)(first.rank < second->rank);
    if (first.head != second->head)
        return (int)(first.head > second->head) - (int)(first.head < second->head);
    if (first.offset == second->offset)
        return 0; // one text
    int order = compareKeyBytes(cache->bytes, first, *second);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
