// The locale's sort keys of item texts, made once per item for one sort.
// Comparing two keys byte by byte orders the texts as the locale-aware
// comparison that ignores case does, so a sort of n siblings asks the
// locale n times instead of n log n times.
#pragma once

#include "notetypes.h"

#include <windows.h>

struct SortKeyCache {
    const NoteItem** items; // open addressing by item address; null = free
    uint32_t* offsets;      // where each item's key starts in bytes
    uint32_t* lengths;
    size_t slots, used; // slots is a power of two
    BYTE* bytes;
    size_t bytesUsed, bytesRoom;
    int field;   // which text: kArrangeByName or kArrangeByCategory
    bool broken; // memory ran short: callers compare the texts directly
};

void initSortKeys(SortKeyCache* cache, int field);
void freeSortKeys(SortKeyCache* cache);

// -1, 0 or +1 as a's text orders before, with or after b's; 0 and
// cache->broken set when a key could not be made.
int compareSortKeys(SortKeyCache* cache, const NoteItem* a, const NoteItem* b);
