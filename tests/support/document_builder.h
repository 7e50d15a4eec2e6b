// Documents made item by item for the tests and the benchmarks, from the
// model alone so that the host and the Windows builds share them: items from
// plain values, appended as a note file loads them, and written out.
#pragma once

#include "fileio.h"
#include "notetypes.h"

#include <stddef.h>
#include <stdint.h>

// An item as a test writes it down. A zero or null field keeps what a new
// item has: the book icon, an unticked box, no category, note or due date.
struct ItemValues {
    const char* name; // ASCII, as are the category and the note
    uint32_t id, parentId, level;
    uint16_t checkState;
    uint16_t priority;
    uint16_t colour;
    uint16_t icon;
    const char* note;
    const char* category;
    uint16_t year, month, day;
};

// A new item: the book icon, unticked, no task time, everything else zero.
NoteItem blankItem();
NoteItem namedItem(const char* name, uint32_t id);
NoteItem itemFrom(const ItemValues& values);

// Directly below parent, or at the top level when parent is null.
void placeUnder(NoteItem* item, const NoteItem* parent);

// Appended as a loaded file appends it, with its ASCII note (null for none).
NoteItem* appendWithNote(NoteList* list, const NoteItem* item, const char* note);

// The id after the largest, as the file of a document holds it.
void setNextId(NoteList* list);

// The items written as a new document's file at path, with the next id
// after the largest; 1 when it was written.
int writeItems(const PathChar* path, const ItemValues* items, size_t count,
               const ViewOptions* options);
