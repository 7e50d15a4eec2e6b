// A stable sort of records by one 64-bit number, for the long lists that
// the sorts and the grouped views order: a few passes over the records
// where a comparison sort takes log n of them.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// The entries in ascending order of keyOf(entry), a byte at a time from
// the lowest (each pass keeps the order of the last); a byte all of them
// share is skipped, as dates share their year. Ten thousand dates take a
// few passes over the entries where a comparison sort takes thirteen.
// Leaves the entries in place; scratch has room for count of them.
template <typename Entry, typename KeyOf>
void sortByKey(Entry* entries, Entry* scratch, size_t count, KeyOf keyOf) {
    if (!count)
        return;
    uint32_t counts[8][256] = {};
    for (size_t i = 0; i < count; ++i) {
        uint64_t key = keyOf(entries[i]);
        for (int b = 0; b < 8; ++b)
            ++counts[b][(key >> (8 * b)) & 0xFF];
    }
    Entry* from = entries;
    Entry* to = scratch;
    for (int b = 0; b < 8; ++b) {
        uint32_t* slots = counts[b];
        if (slots[(keyOf(from[0]) >> (8 * b)) & 0xFF] == count)
            continue;
        uint32_t next = 0;
        for (int d = 0; d < 256; ++d) {
            uint32_t here = slots[d];
            slots[d] = next;
            next += here;
        }
        for (size_t i = 0; i < count; ++i)
            to[slots[(keyOf(from[i]) >> (8 * b)) & 0xFF]++] = from[i];
        Entry* last = from;
        from = to;
        to = last;
    }
    if (from != entries)
        memcpy(entries, from, count * sizeof(Entry));
}

// The same for entries that carry their number as by.
template <typename Entry> void sortByValue(Entry* entries, Entry* scratch, size_t count) {
    sortByKey(entries, scratch, count, [](const Entry& entry) { return entry.by; });
}
