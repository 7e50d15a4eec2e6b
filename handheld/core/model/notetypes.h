// The records of one Twigmark document: items, the item list, the view
// options that travel with a document, the category names met so far and
// the small queue used while filling the tree.
//
// This header and everything in the model build without any Windows header,
// so the model also compiles and is tested on the development host.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Text is UTF-16 everywhere in the model. char16_t has 16 bits on every
// target, unlike wchar_t, which has 32 on the host.
typedef char16_t WideChar;

enum {
    kNameChars = 96,     // field size; the editor lets at most 79 in
    kCategoryChars = 64, // at most 63 characters
    kTitleChars = 64,    // at most 63 characters
    kTaskTimeChars = 8,  // at most 7 characters
    kNameInputLimit = 79,
    kPersistentSize = 376, // bytes of a NoteItem stored in the note file
};

enum CheckState { kUnchecked = 1, kChecked = 2 };
enum RootStateBits { kRootUnchecked = 0x1000, kRootChecked = 0x2000 };
enum { kFirstItemIcon = 4, kLastItemIcon = 19 };

// The platform's date-and-time record. All zero means no date; an item has a
// date exactly when month is not 0.
struct SystemDate {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek;
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};

struct NoteItem {
    // The first 376 bytes are stored in the note file byte for byte.
    WideChar name[kNameChars];
    uint32_t id;       // never 0 for an item
    uint32_t parentId; // 0 directly under the root node
    uint32_t level;    // 1 directly under the root node
    uint16_t icon;     // image list index, 4..19 for items
    uint16_t priority; // 0..9, shown as 1..10
    uint16_t colour;   // colour table index, 0 = (Auto)
    uint16_t checkState;
    WideChar category[kCategoryChars];
    SystemDate dueDate;
    WideChar taskTime[kTaskTimeChars];
    int32_t taskTimeUnit; // 0..3, -1 none
    // In memory only.
    WideChar* note; // exactly length + 1 characters; null when empty
    NoteItem* next;
};

static_assert(offsetof(NoteItem, name) == 0, "name at 0");
static_assert(offsetof(NoteItem, id) == 192, "id at 192");
static_assert(offsetof(NoteItem, parentId) == 196, "parentId at 196");
static_assert(offsetof(NoteItem, level) == 200, "level at 200");
static_assert(offsetof(NoteItem, icon) == 204, "icon at 204");
static_assert(offsetof(NoteItem, priority) == 206, "priority at 206");
static_assert(offsetof(NoteItem, colour) == 208, "colour at 208");
static_assert(offsetof(NoteItem, checkState) == 210, "checkState at 210");
static_assert(offsetof(NoteItem, category) == 212, "category at 212");
static_assert(offsetof(NoteItem, dueDate) == 340, "dueDate at 340");
static_assert(offsetof(NoteItem, dueDate) + offsetof(SystemDate, month) == 342, "month at 342");
static_assert(offsetof(NoteItem, taskTime) == 356, "taskTime at 356");
static_assert(offsetof(NoteItem, taskTimeUnit) == 372, "taskTimeUnit at 372");
static_assert(offsetof(NoteItem, note) == kPersistentSize, "persistent part is 376 bytes");
static_assert(sizeof(SystemDate) == 16, "date record is 16 bytes");

struct NoteList {
    NoteItem* head;
    NoteItem* tail;
    int32_t nextId;
    int32_t count;
    WideChar title[kTitleChars];
    uint32_t rootState; // tree state bits of the root node, 0 = none
    // The highest identifier appended since the list was last emptied:
    // appendNew hands out identifiers above it whatever nextId says.
    uint32_t highestId;
};

enum ViewMode { kDefaultView = 0, kByCategory = 1, kByDueDate = 2, kByPriority = 3 };
enum ArrangeKey {
    kArrangeByName = 0,
    kArrangeByPriority = 1,
    kArrangeByCategory = 2,
    kArrangeByCheck = 3,
    kArrangeByDate = 4
};

struct ViewOptions {
    int32_t viewMode;
    int32_t arrangeKey;
    int32_t hideChecked;
    int32_t hideNoteWindow; // a registry setting, not part of the note file
    int32_t ascending;      // 1 ascending, 0 descending
};

struct CategoryList {
    int32_t count;
    WideChar** names; // in the order met; each a separately allocated kCategoryChars array
    // The index that makes a lookup constant time: names and hashes hold
    // capacity entries; slots (a power of two, at least twice count) holds
    // an index into names plus one, or 0 for a free slot.
    int32_t capacity;
    uint32_t* hashes;
    int32_t* slots;
    uint32_t slotCount;
};

struct PendingNode {
    NoteItem* item;
    PendingNode* next;
};

struct PendingItems {
    PendingNode* head;
    PendingNode* tail;
    PendingNode* cursor;
    int32_t count;
};

struct ColourEntry {
    const char* name;
    uint8_t red, green, blue;
    bool systemText; // (Auto): the system's window-text colour
};

enum { kColourCount = 8 };
extern const ColourEntry kColours[kColourCount];

inline bool hasDueDate(const NoteItem* item) {
    return item->dueDate.month != 0;
}
