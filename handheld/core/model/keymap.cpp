#include "keymap.h"

#include "notemodel.h"

#include <string.h>

int initKeyMap(KeyMap* map, size_t expected) {
    size_t size = 16;
    while (size < expected * 2)
        size *= 2;
    map->keys = (uint64_t*)modelAllocArray(size, sizeof(uint64_t));
    map->values = (int32_t*)modelAllocArray(size, sizeof(int32_t));
    map->mask = size - 1;
    if (!map->keys || !map->values)
        return 0;
    memset(map->values, 0xFF, size * sizeof(int32_t));
    return 1;
}

void freeKeyMap(KeyMap* map) {
    modelFree(map->keys);
    modelFree(map->values);
    map->keys = nullptr;
    map->values = nullptr;
}

size_t keyMapSlot(const KeyMap* map, uint64_t key) {
    // Fibonacci hashing spreads both small identifiers and aligned addresses.
    size_t slot = (size_t)((key * 0x9E3779B97F4A7C15ull) >> 20) & map->mask;
    while (map->values[slot] != -1 && map->keys[slot] != key)
        slot = (slot + 1) & map->mask;
    return slot;
}

void keyMapRemember(KeyMap* map, uint64_t key, int32_t value) {
    size_t slot = keyMapSlot(map, key);
    if (map->values[slot] == -1) {
        map->keys[slot] = key;
        map->values[slot] = value;
    }
}

int32_t keyMapFind(const KeyMap* map, uint64_t key) {
    return map->values[keyMapSlot(map, key)];
}
