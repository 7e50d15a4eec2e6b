// One value per item identifier: by direct index where every identifier is
// small (as the program hands them out, counting up), hashed otherwise. A
// direct table of ten thousand identifiers is a tenth of the hashed one.
#pragma once

#include "keymap.h"

#include <stddef.h>
#include <stdint.h>

struct IdValues {
    int32_t* direct; // bound entries, -1 for none; null when hashed
    uint32_t bound;
    KeyMap hashed;
};

// The bound of a direct table for count items whose highest identifier is
// highest, while the identifiers stay near the count; 0 (a hashed table)
// where a damaged file scattered them.
uint32_t directIdBound(uint32_t highest, size_t count);

// A direct table for the identifiers below bound, or with bound 0 a hashed
// one for expected identifiers; every value -1. 0 when memory ran short
// (freeIdValues is still safe then).
int initIdValues(IdValues* table, uint32_t bound, size_t expected);
void freeIdValues(IdValues* table);

// The value of id, to read or set; null where a direct table has no room.
int32_t* idValue(IdValues* table, uint32_t id);

// The value of id, or -1.
int32_t findIdValue(const IdValues* table, uint32_t id);
