#include "idvalues.h"

#include "notemodel.h"

#include <string.h>

uint32_t directIdBound(uint32_t highest, size_t count) {
    return highest < 4 * (uint64_t)count + 64 ? highest + 1 : 0;
}

int initIdValues(IdValues* table, uint32_t bound, size_t expected) {
    memset(table, 0, sizeof *table);
    if (!bound)
        return initKeyMap(&table->hashed, expected);
    table->direct = (int32_t*)modelAllocArray(bound, sizeof(int32_t));
    if (!table->direct)
        return 0;
    memset(table->direct, 0xFF, bound * sizeof(int32_t));
    table->bound = bound;
    return 1;
}

void freeIdValues(IdValues* table) {
    modelFree(table->direct);
    freeKeyMap(&table->hashed);
    memset(table, 0, sizeof *table);
}

int32_t* idValue(IdValues* table, uint32_t id) {
    if (table->direct)
        return id < table->bound ? &table->direct[id] : nullptr;
    size_t slot = keyMapSlot(&table->hashed, id);
    table->hashed.keys[slot] = id; // the slot counts once its value is set
    return &table->hashed.values[slot];
}

int32_t findIdValue(const IdValues* table, uint32_t id) {
    if (table->direct)
        return id < table->bound ? table->direct[id] : -1;
    return keyMapFind(&table->hashed, id);
}
