#include "notemodel.h"

#include "widetext.h"

#include <stdlib.h>
#include <string.h>

const WideChar kDefaultTitle[] = u"Note Tree";

const ColourEntry kColours[kColourCount] = {
    {"(Auto)", 0, 0, 0, true},        {"Red", 255, 0, 0, false},
    {"Dark Green", 0, 128, 0, false}, {"Purple", 128, 128, 192, false},
    {"Blue", 0, 0, 255, false},       {"Gray", 128, 128, 128, false},
    {"Magenta", 128, 0, 128, false},  {"Teal", 64, 128, 128, false},
};

static void* defaultAlloc(size_t bytes) {
    return calloc(1, bytes ? bytes : 1);
}
static void defaultRelease(void* block) {
    free(block);
}

static const ModelAllocator kDefaultAllocator = {defaultAlloc, defaultRelease};
static const ModelAllocator* gAllocator = &kDefaultAllocator;

void setModelAllocator(const ModelAllocator* allocator) {
    gAllocator = allocator ? allocator : &kDefaultAllocator;
}

void* modelAlloc(size_t bytes) {
    return gAllocator->allocZeroed(bytes);
}

void* modelAllocArray(size_t count, size_t elementBytes) {
    if (elementBytes != 0 && count > SIZE_MAX / elementBytes)
        return nullptr;
    return modelAlloc(count * elementBytes);
}

void modelFree(void* block) {
    if (block)
        gAllocator->release(block);
}

WideChar* copyNote(const WideChar* text, size_t length) {
    if (!text || length == 0)
        return nullptr;
    if (length >= SIZE_MAX / sizeof(WideChar))
        return nullptr;
    WideChar* copy = (WideChar*)modelAllocArray(length + 1, sizeof(WideChar));
    if (copy)
        memcpy(copy, text, length * sizeof(WideChar));
    return copy;
}

size_t noteLength(const NoteItem* item) {
    size_t n = 0;
    if (item->note)
        while (item->note[n] != 0)
            ++n;
    return n;
}

static void linkAtTail(NoteList* list, NoteItem* record) {
    if (record->id > list->highestId)
        list->highestId = record->id;
    record->next = nullptr;
    if (list->tail)
        list->tail->next = record;
    else
        list->head = record;
    list->tail = record;
    ++list->count;
}

void initList(NoteList* list) {
    list->head = list->tail = nullptr;
    list->nextId = 1;
    list->count = 0;
    list->highestId = 0;
}

NoteItem* appendLoaded(NoteList* list, const void* persistentPart, const WideChar* note) {
    NoteItem* record = (NoteItem*)modelAlloc(sizeof(NoteItem));
    if (!record)
        return nullptr;
    memcpy(record, persistentPart, kPersistentSize);
    if (note && note[0] != 0) {
        size_t n = 0;
        while (note[n] != 0)
            ++n;
        record->note = copyNote(note, n);
        if (!record->note) {
            modelFree(record);
            return nullptr;
        }
    }
    linkAtTail(list, record);
    return record;
}

NoteItem* appendNew(NoteList* list, const NoteItem* item) {
    // The counter comes from the file and may be at or below an identifier
    // already present: a new item must never share one, or its children
    // would attach to the old item after the next load. Identifiers stay
    // below 2147483647 so that the counter after them still fits. (An
    // identifier whose item was removed is not handed out again either.)
    int64_t id = list->nextId > 1 ? list->nextId : 1;
    if ((int64_t)list->highestId >= id)
        id = (int64_t)list->highestId + 1;
    if (id >= INT32_MAX)
        return nullptr;
    NoteItem* record = (NoteItem*)modelAlloc(sizeof(NoteItem));
    if (!record)
        return nullptr;
    *record = *item;
    record->id = (uint32_t)id;
    list->nextId = (int32_t)id + 1;
    linkAtTail(list, record);
    return record;
}

// Frees it, which follows previous (null: it is the head).
static void unlinkItem(NoteList* list, NoteItem* previous, NoteItem* it) {
    if (previous)
        previous->next = it->next;
    else
        list->head = it->next;
    if (list->tail == it)
        list->tail = previous;
    --list->count;
    modelFree(it->note);
    modelFree(it);
}

int removeItem(NoteList* list, NoteItem* item) {
    NoteItem* previous = nullptr;
    for (NoteItem* it = list->head; it; previous = it, it = it->next) {
        if (it == item) {
            unlinkItem(list, previous, it);
            return 1;
        }
    }
    return 0;
}

static bool inSortedSet(NoteItem* const* items, size_t count, const NoteItem* wanted) {
    size_t low = 0, high = count;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (items[middle] == wanted)
            return true;
        if ((uintptr_t)items[middle] < (uintptr_t)wanted)
            low = middle + 1;
        else
            high = middle;
    }
    return false;
}

size_t removeItems(NoteList* list, NoteItem* const* items, size_t count) {
    size_t removed = 0;
    NoteItem* previous = nullptr;
    for (NoteItem *it = list->head, *next; it; it = next) {
        next = it->next;
        if (!inSortedSet(items, count, it)) {
            previous = it;
            continue;
        }
        unlinkItem(list, previous, it);
        ++removed;
    }
    return removed;
}

size_t removeFlaggedItems(NoteList* list, const bool* gone, size_t count) {
    size_t removed = 0, position = 0;
    NoteItem* previous = nullptr;
    for (NoteItem *it = list->head, *next; it; it = next) {
        next = it->next;
        if (position >= count || !gone[position++]) {
            previous = it;
            continue;
        }
        unlinkItem(list, previous, it);
        ++removed;
    }
    return removed;
}

void clearList(NoteList* list) {
    NoteItem* it = list->head;
    while (it) {
        NoteItem* next = it->next;
        modelFree(it->note);
        modelFree(it);
        it = next;
    }
    initList(list);
}

void setTitle(NoteList* list, const WideChar* text) {
    copyWideField(list->title, kTitleChars, text, SIZE_MAX);
}

// Makes room for one more name, doubling, so adding stays constant time
// over many names.
static bool reserveCategory(CategoryList* c) {
    if (c->count < c->capacity)
        return true;
    int32_t wanted = c->capacity ? 2 * c->capacity : 16;
    WideChar** names = (WideChar**)modelAllocArray((size_t)wanted, sizeof(WideChar*));
    uint32_t* hashes = (uint32_t*)modelAllocArray((size_t)wanted, sizeof(uint32_t));
    uint32_t slotCount = 2 * (uint32_t)wanted;
    int32_t* slots = (int32_t*)modelAllocArray(slotCount, sizeof(int32_t));
    if (!names || !hashes || !slots) {
        modelFree(names);
        modelFree(hashes);
        modelFree(slots);
        return false;
    }
    if (c->count) {
        memcpy(names, c->names, (size_t)c->count * sizeof(WideChar*));
        memcpy(hashes, c->hashes, (size_t)c->count * sizeof(uint32_t));
    }
    for (int32_t i = 0; i < c->count; ++i) {
        uint32_t slot = hashes[i] & (slotCount - 1);
        while (slots[slot])
            slot = (slot + 1) & (slotCount - 1);
        slots[slot] = i + 1;
    }
    modelFree(c->names);
    modelFree(c->hashes);
    modelFree(c->slots);
    c->names = names;
    c->hashes = hashes;
    c->slots = slots;
    c->slotCount = slotCount;
    c->capacity = wanted;
    return true;
}

int addCategory(CategoryList* categories, const WideChar* name) {
    // A record from a file may fill its category field without a zero. The
    // record keeps those bytes; the list, whose names every user reads as
    // zero-terminated text, holds at most 63 characters and the zero.
    WideChar cut[kCategoryChars];
    copyWideField(cut, kCategoryChars, name, kCategoryChars);
    name = cut;
    size_t length = wideLength(name, kCategoryChars);
    if (length == 0)
        return 0;
    uint32_t hash = hashIgnoreCase(name, length);
    uint32_t mask = categories->slotCount - 1;
    for (uint32_t slot = hash & mask; categories->slotCount && categories->slots[slot];
         slot = (slot + 1) & mask) {
        int32_t i = categories->slots[slot] - 1;
        const WideChar* present = categories->names[i];
        if (categories->hashes[i] == hash &&
            sameTextIgnoreCase(present, wideLength(present, kCategoryChars), name, length))
            return 1;
    }
    WideChar* copy = (WideChar*)modelAllocArray(kCategoryChars, sizeof(WideChar));
    if (!copy || !reserveCategory(categories)) {
        modelFree(copy);
        return 0;
    }
    memcpy(copy, name, length * sizeof(WideChar)); // the zero is there: the block is zeroed
    int32_t index = categories->count++;
    categories->names[index] = copy;
    categories->hashes[index] = hash;
    mask = categories->slotCount - 1;
    uint32_t slot = hash & mask;
    while (categories->slots[slot])
        slot = (slot + 1) & mask;
    categories->slots[slot] = index + 1;
    return 1;
}

void clearCategories(CategoryList* categories) {
    for (int32_t i = 0; i < categories->count; ++i)
        modelFree(categories->names[i]);
    modelFree(categories->names);
    modelFree(categories->hashes);
    modelFree(categories->slots);
    memset(categories, 0, sizeof *categories);
}

void initQueue(PendingItems* queue) {
    memset(queue, 0, sizeof(*queue));
}

int pushItem(PendingItems* queue, NoteItem* item) {
    PendingNode* node = (PendingNode*)modelAlloc(sizeof(PendingNode));
    if (!node)
        return 0;
    node->item = item;
    if (queue->tail)
        queue->tail->next = node;
    else
        queue->head = node;
    queue->tail = node;
    ++queue->count;
    return 1;
}

int firstItem(PendingItems* queue, NoteItem** item) {
    queue->cursor = queue->head;
    return nextItem(queue, item);
}

int nextItem(PendingItems* queue, NoteItem** item) {
    if (!queue->cursor)
        return 0;
    *item = queue->cursor->item;
    queue->cursor = queue->cursor->next;
    return 1;
}

void freeQueue(PendingItems* queue) {
    if (queue->count > 0) {
        PendingNode* node = queue->head;
        while (node) {
            PendingNode* next = node->next;
            modelFree(node);
            node = next;
        }
    }
    initQueue(queue);
}
