// A fixed-size open-addressing map from a 64-bit key (an item identifier or
// a record's address) to a node index, for the planners that place tens of
// thousands of items without a quadratic search.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct KeyMap {
    uint64_t* keys;
    int32_t* values; // -1 = empty slot
    size_t mask;
};

// Room for expected keys at most half full; 0 when memory ran short
// (freeKeyMap is still safe then, as it is on a zero-filled map).
int initKeyMap(KeyMap* map, size_t expected);
void freeKeyMap(KeyMap* map);

// The slot that holds key, or the empty slot where it would go.
size_t keyMapSlot(const KeyMap* map, uint64_t key);

// Stores value under key unless the key already has one: the first wins.
void keyMapRemember(KeyMap* map, uint64_t key, int32_t value);

// The value stored under key, or -1.
int32_t keyMapFind(const KeyMap* map, uint64_t key);
