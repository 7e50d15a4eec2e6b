// Operations on the document's item list, the category list and the
// pending-items queue. Every allocation failure returns null or 0 and leaves
// the structure exactly as it was.
#pragma once

#include "notetypes.h"

// Zero-filled allocation that may fail. Tests install their own to make a
// chosen allocation fail; null restores the default.
struct ModelAllocator {
    void* (*allocZeroed)(size_t bytes);
    void (*release)(void* block);
};
void setModelAllocator(const ModelAllocator* allocator);
void* modelAlloc(size_t bytes);
void* modelAllocArray(size_t count, size_t elementBytes); // null on overflow too
void modelFree(void* block);

// A copy of length characters plus a terminating zero, or null when length
// is 0 or memory is short.
WideChar* copyNote(const WideChar* text, size_t length);
size_t noteLength(const NoteItem* item);

void initList(NoteList* list);
NoteItem* appendLoaded(NoteList* list, const void* persistentPart, const WideChar* note);
NoteItem* appendNew(NoteList* list, const NoteItem* item);
int removeItem(NoteList* list, NoteItem* item);
// Removes and frees every record in items (sorted by address as uintptr_t)
// in one pass over the list; returns how many were found.
size_t removeItems(NoteList* list, NoteItem* const* items, size_t count);
// Removes and frees every record whose flag is set, gone[i] standing for
// the record at position i of the list (the first count positions), in one
// pass with no search; returns how many went.
size_t removeFlaggedItems(NoteList* list, const bool* gone, size_t count);
void clearList(NoteList* list);
void setTitle(NoteList* list, const WideChar* text);

int addCategory(CategoryList* categories, const WideChar* name);
void clearCategories(CategoryList* categories);

void initQueue(PendingItems* queue);
int pushItem(PendingItems* queue, NoteItem* item);
int firstItem(PendingItems* queue, NoteItem** item);
int nextItem(PendingItems* queue, NoteItem** item);
void freeQueue(PendingItems* queue);

// "Note Tree", the title of a new document.
extern const WideChar kDefaultTitle[];
