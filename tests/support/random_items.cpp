#include "random_items.h"

#include "document_builder.h"
#include "widetext.h"

#include <stdio.h>

static uint32_t gSeed = 12345;

void resetRandom() {
    gSeed = 12345;
}

uint32_t nextRandom() {
    gSeed = gSeed * 1103515245u + 12345u;
    return gSeed >> 8;
}

void randomName(char* name, size_t size, int index) {
    snprintf(name, size, "%c%c item %d", 'a' + nextRandom() % 26, 'A' + nextRandom() % 26, index);
}

NoteItem randomlyNamedItem(int index) {
    char name[32];
    randomName(name, sizeof name, index);
    return namedItem(name, (uint32_t)index + 1);
}

NoteItem randomItem(int index) {
    NoteItem item = randomlyNamedItem(index);
    item.icon = (uint16_t)(4 + nextRandom() % 16);
    item.checkState = nextRandom() % 5 == 0 ? kChecked : kUnchecked;
    return item;
}

void randomCategory(NoteItem* item) {
    char category[32];
    snprintf(category, sizeof category, "Category %u", nextRandom() % 50);
    copyAsciiField(item->category, kCategoryChars, category);
}

void randomDueDate(NoteItem* item) {
    if (nextRandom() % 3) {
        item->dueDate.year = 2024;
        item->dueDate.month = (uint16_t)(1 + nextRandom() % 12);
        item->dueDate.day = (uint16_t)(1 + nextRandom() % 28);
    }
}
