// OPML in. The reader follows the parser's events with an explicit stack of
// open elements, so nesting depth costs heap, not stack. Outlines take the
// next identifier in document order and their parent from the enclosing
// outline; attributes that are missing or out of range take the defaults of
// a new item.
#include "outliner.h"

#include "notemodel.h"
#include "widetext.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

enum FrameKind { kOpml, kHead, kTitle, kBody, kOutline, kOther };

struct Frame {
    uint8_t kind;
    uint32_t id;    // an outline's item
    uint32_t level; // an outline's level
};

struct OpmlReader {
    NoteList* list;
    CategoryList* categories;
    XmlProblem* problem;
    Frame* stack;
    size_t depth;
    size_t capacity;
    WideChar title[kTitleChars + 2];
    size_t titleLength;
    int titleSeen;
};

} // namespace

static bool isName(const WideChar* text, size_t length, const char* name) {
    size_t i = 0;
    for (; i < length; ++i)
        if (!name[i] || text[i] != (WideChar)(unsigned char)name[i])
            return false;
    return name[i] == 0;
}

static bool isNameIgnoreCase(const WideChar* text, size_t length, const char* name) {
    size_t i = 0;
    for (; i < length; ++i) {
        WideChar c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = (WideChar)(c - 'A' + 'a');
        if (!name[i] || c != (WideChar)(unsigned char)name[i])
            return false;
    }
    return name[i] == 0;
}

static bool isSpace(WideChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Digits at text[*i], at most 65535; false when there are none or too many.
static bool readNumber(const WideChar* text, size_t length, size_t* i, uint32_t* value) {
    size_t start = *i;
    uint32_t v = 0;
    while (*i < length && text[*i] >= '0' && text[*i] <= '9') {
        v = v * 10 + (uint32_t)(text[*i] - '0');
        if (v > 65535)
            return false;
        ++*i;
    }
    *value = v;
    return *i > start;
}

// A whole attribute that is one number, spaces around it allowed.
static bool wholeNumber(const XmlAttribute* a, uint32_t* value) {
    size_t i = 0;
    while (i < a->valueLength && isSpace(a->value[i]))
        ++i;
    if (!readNumber(a->value, a->valueLength, &i, value))
        return false;
    while (i < a->valueLength && isSpace(a->value[i]))
        ++i;
    return i == a->valueLength;
}

// "YYYY-MM-DD", perhaps followed by a time ("T..."), which is ignored.
static bool readDay(const XmlAttribute* a, uint32_t ymd[3]) {
    size_t i = 0;
    while (i < a->valueLength && isSpace(a->value[i]))
        ++i;
    for (int part = 0; part < 3; ++part) {
        if (part && (i >= a->valueLength || a->value[i++] != '-'))
            return false;
        if (!readNumber(a->value, a->valueLength, &i, &ymd[part]))
            return false;
    }
    return i == a->valueLength || a->value[i] == 'T' || isSpace(a->value[i]);
}

// The eight words of the date record, separated by commas.
static bool readDateRecord(const XmlAttribute* a, uint32_t words[8]) {
    size_t i = 0;
    for (int part = 0; part < 8; ++part) {
        if (part && (i >= a->valueLength || a->value[i++] != ','))
            return false;
        if (!readNumber(a->value, a->valueLength, &i, &words[part]))
            return false;
    }
    return i == a->valueLength;
}

static void setDate(NoteItem* item, const XmlAttribute* due, const XmlAttribute* record) {
    uint32_t ymd[3];
    if (!due || !readDay(due, ymd))
        return;
    uint32_t w[8];
    SystemDate& d = item->dueDate;
    if (record && readDateRecord(record, w) && w[0] == ymd[0] && w[1] == ymd[1] && w[3] == ymd[2] &&
        w[1] != 0) {
        d.year = (uint16_t)w[0];
        d.month = (uint16_t)w[1];
        d.dayOfWeek = (uint16_t)w[2];
        d.day = (uint16_t)w[3];
        d.hour = (uint16_t)w[4];
        d.minute = (uint16_t)w[5];
        d.second = (uint16_t)w[6];
        d.milliseconds = (uint16_t)w[7];
        return;
    }
    if (ymd[1] < 1 || ymd[1] > 12 || ymd[2] < 1 || ymd[2] > 31)
        return;
    d.year = (uint16_t)ymd[0];
    d.month = (uint16_t)ymd[1];
    d.day = (uint16_t)ymd[2];
    d.dayOfWeek = (uint16_t)dayOfWeek((int)ymd[0], (int)ymd[1], (int)ymd[2]);
}

static void initNewItem(NoteItem* item) {
    memset(item, 0, sizeof *item);
    item->icon = 4;
    item->priority = 4; // shown as 5
    item->checkState = kUnchecked;
    item->taskTimeUnit = -1;
}

// Fills the item from the outline's attributes; 0 when the note could not
// be copied for lack of memory.
static int readAttributes(NoteItem* item, const XmlAttribute* attributes, size_t count) {
    const XmlAttribute* due = nullptr;
    const XmlAttribute* record = nullptr;
    for (size_t k = 0; k < count; ++k) {
        const XmlAttribute* a = &attributes[k];
        uint32_t v;
        if (isName(a->name, a->nameLength, "text")) {
            copyWideField(item->name, kNameChars, a->value, a->valueLength);
        } else if (isName(a->name, a->nameLength, "_note")) {
            modelFree(item->note);
            item->note = copyNote(a->value, a->valueLength);
            if (a->valueLength && !item->note)
                return 0;
        } else if (isName(a->name, a->nameLength, "priority")) {
            if (wholeNumber(a, &v) && v >= 1 && v <= 10)
                item->priority = (uint16_t)(v - 1);
        } else if (isName(a->name, a->nameLength, "category")) {
            copyWideField(item->category, kCategoryChars, a->value, a->valueLength);
        } else if (isName(a->name, a->nameLength, "checked")) {
            bool on = isNameIgnoreCase(a->value, a->valueLength, "true") ||
                      isName(a->value, a->valueLength, "1");
            item->checkState = on ? kChecked : kUnchecked;
        } else if (isName(a->name, a->nameLength, "icon")) {
            if (wholeNumber(a, &v) && v >= kFirstItemIcon && v <= kLastItemIcon)
                item->icon = (uint16_t)v;
        } else if (isName(a->name, a->nameLength, "colour")) {
            if (wholeNumber(a, &v) && v < kColourCount)
                item->colour = (uint16_t)v;
        } else if (isName(a->name, a->nameLength, "due")) {
            due = a;
        } else if (isName(a->name, a->nameLength, "dueRecord")) {
            record = a;
        } else if (isName(a->name, a->nameLength, "taskTime")) {
            copyWideField(item->taskTime, kTaskTimeChars, a->value, a->valueLength);
        } else if (isName(a->name, a->nameLength, "taskUnit")) {
            if (wholeNumber(a, &v) && v <= 3)
                item->taskTimeUnit = (int32_t)v;
        }
    }
    setDate(item, due, record);
    return 1;
}

static int push(OpmlReader* r, FrameKind kind, uint32_t id, uint32_t level) {
    if (r->depth == r->capacity) {
        size_t capacity = r->capacity ? r->capacity * 2 : 64;
        Frame* grown = (Frame*)realloc(r->stack, capacity * sizeof(Frame));
        if (!grown) {
            setXmlProblem(r->problem, "out of memory");
            return 0;
        }
        r->stack = grown;
        r->capacity = capacity;
    }
    r->stack[r->depth].kind = (uint8_t)kind;
    r->stack[r->depth].id = id;
    r->stack[r->depth].level = level;
    ++r->depth;
    return 1;
}

static int addOutline(OpmlReader* r, const Frame* parent, const XmlAttribute* attributes,
                      size_t count) {
    if (r->list->nextId >= INT32_MAX) {
        setXmlProblem(r->problem, "too many outlines");
        return 0;
    }
    NoteItem item;
    initNewItem(&item);
    if (!readAttributes(&item, attributes, count)) {
        setXmlProblem(r->problem, "out of memory");
        return 0;
    }
    item.parentId = parent->kind == kOutline ? parent->id : 0;
    item.level = parent->kind == kOutline ? parent->level + 1 : 1;
    NoteItem* added = appendNew(r->list, &item);
    if (!added) {
        modelFree(item.note);
        setXmlProblem(r->problem, "out of memory");
        return 0;
    }
    if (added->category[0])
        addCategory(r->categories, added->category);
    return push(r, kOutline, added->id, added->level);
}

static int onStart(void* context, const WideChar* name, size_t nameLength,
                   const XmlAttribute* attributes, size_t count) {
    OpmlReader* r = (OpmlReader*)context;
    if (r->depth == 0) {
        if (!isName(name, nameLength, "opml")) {
            setXmlProblem(r->problem, "not an OPML document: the outermost element is not opml");
            return 0;
        }
        return push(r, kOpml, 0, 0);
    }
    const Frame parent = r->stack[r->depth - 1];
    FrameKind kind = kOther;
    if (parent.kind == kOpml && isName(name, nameLength, "head"))
        kind = kHead;
    else if (parent.kind == kOpml && isName(name, nameLength, "body"))
        kind = kBody;
    else if (parent.kind == kHead && !r->titleSeen && isName(name, nameLength, "title"))
        kind = kTitle;
    else if ((parent.kind == kBody || parent.kind == kOutline) &&
             isName(name, nameLength, "outline"))
        return addOutline(r, &parent, attributes, count);
    if (kind == kTitle) {
        r->titleSeen = 1;
        r->titleLength = 0;
    }
    return push(r, kind, 0, 0);
}

static int onEnd(void* context) {
    OpmlReader* r = (OpmlReader*)context;
    if (r->depth == 0)
        return 1;
    --r->depth;
    if (r->stack[r->depth].kind == kTitle)
        copyWideField(r->list->title, kTitleChars, r->title, r->titleLength);
    return 1;
}

static int onCharacters(void* context, const WideChar* text, size_t length) {
    OpmlReader* r = (OpmlReader*)context;
    if (r->depth == 0 || r->stack[r->depth - 1].kind != kTitle)
        return 1;
    // Only what fits the title field and one more character is kept: enough
    // to cut it at 63 without splitting a surrogate pair.
    size_t room = kTitleChars + 1 - r->titleLength;
    size_t n = length < room ? length : room;
    memcpy(r->title + r->titleLength, text, n * sizeof(WideChar));
    r->titleLength += n;
    return 1;
}

int readOpml(const XmlSource* source, NoteList* list, CategoryList* categories,
             XmlProblem* problem) {
    OpmlReader reader;
    memset(&reader, 0, sizeof reader);
    reader.list = list;
    reader.categories = categories;
    reader.problem = problem;
    XmlHandler handler = {&reader, onStart, onEnd, onCharacters};
    int ok = parseXml(source, &handler, problem);
    free(reader.stack);
    return ok;
}

int looksLikeXml(const uint8_t* head, size_t size) {
    size_t i = 0;
    if (size >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return size >= 4 && (head[2] == '<' || head[3] == '<');
    if (size >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        i = 3;
    while (i < size && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n'))
        ++i;
    if (i + 1 >= size || head[i] != '<')
        return 0;
    uint8_t c = head[i + 1];
    return c == '?' || c == '!' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int dayOfWeek(int year, int month, int day) {
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 1 || month > 12)
        return 0;
    if (month < 3)
        --year;
    int y = year < 0 ? 0 : year;
    return (y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + day) % 7;
}
