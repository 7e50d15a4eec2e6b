// Loading note files of every version. Every length read from a file is
// checked against what is left of it before anything is allocated, so a
// damaged file ends the load with a failure instead of a huge allocation.
#include "notefile.h"

#include "notemodel.h"
#include "widetext.h"

#include <stdio.h>
#include <string.h>

namespace {

enum { kReadBufferBytes = 64 * 1024 };

struct Reader {
    const FileOps* ops;
    FileHandle* file;     // null when reading from memory
    const uint8_t* bytes; // the buffer: memory, or the file's read-ahead
    size_t length;        // valid bytes in bytes
    size_t position;      // next byte in bytes
    uint8_t* ownBuffer;
    int64_t consumed; // bytes handed out so far
    int64_t total;    // size of the whole input, when sized
    bool sized;       // false for a pipe: lengths are checked as bytes arrive
    bool failed;      // a read error, not the end
};

} // namespace

static int64_t remaining(const Reader* r) {
    return r->total - r->consumed;
}

static bool refill(Reader* r) {
    if (!r->file || r->failed)
        return false;
    long got = r->ops->read(r->file, r->ownBuffer, kReadBufferBytes);
    if (got < 0) {
        r->failed = true;
        return false;
    }
    r->bytes = r->ownBuffer;
    r->length = (size_t)got;
    r->position = 0;
    return got > 0;
}

// Copies up to want bytes; fewer only at the end of the input or on an error.
static size_t take(Reader* r, void* out, size_t want) {
    uint8_t* dst = (uint8_t*)out;
    size_t done = 0;
    while (done < want) {
        if (r->position == r->length && !refill(r))
            break;
        size_t chunk = r->length - r->position;
        if (chunk > want - done)
            chunk = want - done;
        memcpy(dst + done, r->bytes + r->position, chunk);
        r->position += chunk;
        done += chunk;
    }
    r->consumed += (int64_t)done;
    return done;
}

// A little-endian 32-bit word; returns the bytes obtained (4 when whole).
static size_t takeWordBytes(Reader* r, int32_t* value) {
    uint8_t b[4];
    size_t got = take(r, b, 4);
    if (got == 4)
        *value = (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 |
                           (uint32_t)b[3] << 24);
    return got;
}

static bool takeWord(Reader* r, int32_t* value) {
    return takeWordBytes(r, value) == 4;
}

namespace {

// A grow-only buffer for note and name text, sized by lengths that were
// already checked against the rest of the input.
struct Scratch {
    WideChar* text;
    size_t capacity; // characters
};

} // namespace

static WideChar* scratchFor(Scratch* s, size_t chars) {
    if (chars + 1 > s->capacity) {
        size_t wanted = chars + 1 > 2 * s->capacity ? chars + 1 : 2 * s->capacity;
        WideChar* grown = (WideChar*)modelAllocArray(wanted, sizeof(WideChar));
        if (!grown)
            return nullptr;
        modelFree(s->text);
        s->text = grown;
        s->capacity = wanted;
    }
    memset(s->text, 0, (chars + 1) * sizeof(WideChar));
    return s->text;
}

// Room for chars characters and the zero, keeping the first keptBytes.
static bool growScratch(Scratch* s, size_t chars, size_t keptBytes) {
    if (chars + 1 <= s->capacity)
        return true;
    size_t wanted = chars + 1 > 2 * s->capacity ? chars + 1 : 2 * s->capacity;
    WideChar* grown = (WideChar*)modelAllocArray(wanted, sizeof(WideChar));
    if (!grown)
        return false;
    if (keptBytes)
        memcpy(grown, s->text, keptBytes);
    modelFree(s->text);
    s->text = grown;
    s->capacity = wanted;
    return true;
}

namespace {

struct Load {
    Reader reader;
    NoteList* list;
    ViewOptions* options;
    CategoryList* categories;
    LoadReport* report;
    Scratch scratch;
    int64_t zeroInNoteAt; // the first note that holds a zero, or -1
};

} // namespace

static int fail(Load* load, LoadProblem problem, int64_t offset, int64_t value) {
    load->report->problem = problem;
    load->report->offset = offset;
    load->report->value = value;
    return 0;
}

// The end of the input, or a read error.
static int endOfInput(Load* load, bool partial, int64_t offset) {
    if (load->reader.failed)
        return fail(load, kLoadReadError, load->reader.consumed, 0);
    if (partial)
        return fail(load, kLoadTruncated, offset, 0);
    return 1;
}

// A length from a pipe, whose end is unknown: the text is taken piece by
// piece and the buffer grows only with what has arrived, so a length of two
// thousand million costs memory only when that much is sent.
static int takeStreamText(Load* load, int32_t chars, LoadProblem problem, int64_t at,
                          WideChar** text) {
    Reader* r = &load->reader;
    size_t want = (size_t)chars * 2, have = 0;
    while (have < want) {
        size_t piece =
            want - have < (size_t)kReadBufferBytes ? want - have : (size_t)kReadBufferBytes;
        if (!growScratch(&load->scratch, (have + piece) / 2, have))
            return fail(load, kLoadOutOfMemory, at, chars);
        size_t got = take(r, (uint8_t*)load->scratch.text + have, piece);
        have += got;
        if (got < piece)
            return r->failed ? endOfInput(load, true, at) : fail(load, problem, at, chars);
    }
    if (!growScratch(&load->scratch, (size_t)chars, want))
        return fail(load, kLoadOutOfMemory, at, chars);
    load->scratch.text[chars] = 0;
    *text = load->scratch.text;
    return 1;
}

// Reads a length-prefixed run of characters into the scratch buffer.
static int takeText(Load* load, int32_t chars, LoadProblem problem, int64_t at, WideChar** text) {
    if (chars < 0)
        return fail(load, problem, at, chars);
    if (!load->reader.sized)
        return takeStreamText(load, chars, problem, at, text);
    if ((int64_t)chars * 2 > remaining(&load->reader))
        return fail(load, problem, at, chars);
    *text = scratchFor(&load->scratch, (size_t)chars);
    if (!*text)
        return fail(load, kLoadOutOfMemory, at, chars);
    if (take(&load->reader, *text, (size_t)chars * 2) != (size_t)chars * 2)
        return endOfInput(load, true, at);
    return 1;
}

// A note keeps its text up to its first zero, so one whose stored length
// runs past a zero did not load whole: its original is kept before a save.
static int takeNote(Load* load, int32_t chars, int64_t at, WideChar** note) {
    if (!takeText(load, chars, kLoadBadNoteLength, at, note))
        return 0;
    if (wideLength(*note, (size_t)chars) < (size_t)chars && load->zeroInNoteAt < 0)
        load->zeroInNoteAt = at;
    return 1;
}

static void append(Load* load, const NoteItem* record, const WideChar* note) {
    if (!appendLoaded(load->list, record, note))
        ++load->report->droppedRecords;
}

static int readRecords210(Load* load) {
    Reader* r = &load->reader;
    for (;;) {
        NoteItem record;
        int64_t at = r->consumed;
        size_t got = take(r, &record, kPersistentSize);
        if (got != kPersistentSize)
            return endOfInput(load, got != 0, at);
        if (wideLength(record.category, kCategoryChars) > 0)
            addCategory(load->categories, record.category);
        int32_t n = 0;
        int64_t lengthAt = r->consumed;
        if (!takeWord(r, &n))
            return endOfInput(load, true, lengthAt);
        if (n == 0) {
            append(load, &record, nullptr);
            continue;
        }
        WideChar* note = nullptr;
        if (!takeNote(load, n, lengthAt, &note))
            return 0;
        append(load, &record, note);
    }
}

// Every layout writes its header whole, so a file that ends inside it is
// damaged or no note file at all: none of it is taken, and the load fails.
static int readHeader(Load* load, int32_t version) {
    Reader* r = &load->reader;
    int32_t nextId = 0, rootState = 0, viewMode = 0, hideChecked = 0, ascending = 1, arrangeKey = 0;
    WideChar title[kTitleChars];
    bool whole = takeWord(r, &nextId) && takeWord(r, &rootState) &&
                 take(r, title, sizeof title) == sizeof title && takeWord(r, &viewMode);
    if (version >= kCurrentVersion)
        whole = whole && takeWord(r, &hideChecked) && takeWord(r, &ascending) &&
                takeWord(r, &arrangeKey);
    if (!whole)
        return endOfInput(load, true, 0);
    NoteList* list = load->list;
    ViewOptions* options = load->options;
    list->nextId = nextId;
    list->rootState = (uint32_t)rootState;
    memcpy(list->title, title, sizeof title);
    if (version < kCurrentVersion) {
        // The one option word of these versions means nothing now.
        options->viewMode = 0;
        options->hideChecked = 0;
        options->ascending = 1;
        return 1;
    }
    options->viewMode = viewMode;
    options->hideChecked = hideChecked;
    options->ascending = ascending;
    options->arrangeKey = arrangeKey;
    return 1;
}

namespace {

// The path from the root to the previous record: the identifier at each
// level and whether that node carries an item.
struct LevelPath {
    uint32_t* ids;
    uint8_t* isItem;
    size_t capacity;
};

} // namespace

static int reservePath(LevelPath* path, size_t levels) {
    if (levels <= path->capacity)
        return 1;
    size_t wanted = levels > 2 * path->capacity ? levels : 2 * path->capacity;
    uint32_t* ids = (uint32_t*)modelAllocArray(wanted, sizeof(uint32_t));
    uint8_t* isItem = (uint8_t*)modelAllocArray(wanted, 1);
    if (!ids || !isItem) {
        modelFree(ids);
        modelFree(isItem);
        return 0;
    }
    if (path->capacity) {
        memcpy(ids, path->ids, path->capacity * sizeof(uint32_t));
        memcpy(isItem, path->isItem, path->capacity);
    }
    modelFree(path->ids);
    modelFree(path->isItem);
    path->ids = ids;
    path->isItem = isItem;
    path->capacity = wanted;
    return 1;
}

static int readNode100(Load* load, LevelPath* path, int32_t* previousLevel, int32_t level,
                       int64_t at) {
    Reader* r = &load->reader;
    NoteList* list = load->list;
    if (level < 0)
        return fail(load, kLoadBadLevel, at, level);
    if (level > *previousLevel + 1)
        return fail(load, kLoadLevelJump, at, level);
    if (!reservePath(path, (size_t)level + 1))
        return fail(load, kLoadOutOfMemory, at, 0);

    NoteItem record;
    memset(&record, 0, sizeof record);
    record.id = (uint32_t)list->nextId;
    ++list->nextId;
    record.level = (uint32_t)level;
    // Level 0 is the root node. Below it, the parent is the previous node's
    // ancestor one level up; the root and nodes without an item give 0.
    if (level > 0 && path->isItem[level - 1])
        record.parentId = path->ids[level - 1];
    path->ids[level] = record.id;
    path->isItem[level] = 0;
    *previousLevel = level;

    int32_t k = 0, icon = 0, state = 0, priority = 0, colour = 0, n = 0;
    int64_t fieldAt = r->consumed;
    if (!takeWord(r, &k))
        return endOfInput(load, true, fieldAt);
    WideChar* name = nullptr;
    if (!takeText(load, k, kLoadBadNameLength, fieldAt, &name))
        return 0;
    if (level == 0)
        copyWideField(list->title, kTitleChars, name, (size_t)k);
    else
        copyWideField(record.name, kNameInputLimit + 1, name, (size_t)k);

    fieldAt = r->consumed;
    if (!takeWord(r, &icon) || !takeWord(r, &state) || !takeWord(r, &priority))
        return endOfInput(load, true, fieldAt);
    record.icon = (uint16_t)icon;
    record.checkState = (uint16_t)((uint32_t)state >> 12);
    if (level == 0)
        list->rootState = (uint32_t)state;
    if (priority == -1)
        return 1;

    fieldAt = r->consumed;
    if (!takeWord(r, &colour) ||
        take(r, record.category, sizeof record.category) != sizeof record.category)
        return endOfInput(load, true, fieldAt);
    record.priority = (uint16_t)priority;
    record.colour = (uint16_t)(colour & 0xFFFF);
    if (wideLength(record.category, kCategoryChars) > 0)
        addCategory(load->categories, record.category);

    fieldAt = r->consumed;
    if (!takeWord(r, &n))
        return endOfInput(load, true, fieldAt);
    WideChar* note = nullptr;
    if (n != 0 && !takeNote(load, n, fieldAt, &note))
        return 0;
    // The root node is never a parent by identifier, even with an item.
    path->isItem[level] = level > 0;
    append(load, &record, note);
    return 1;
}

static int readVersion100(Load* load) {
    load->options->viewMode = 0;
    load->options->hideChecked = 0;
    load->options->ascending = 1;
    LevelPath path = {nullptr, nullptr, 0};
    int result = reservePath(&path, 16) ? 1 : fail(load, kLoadOutOfMemory, 4, 0);
    if (result)
        path.isItem[0] = 0; // a file without a level-0 record hangs under the root
    int32_t previousLevel = 0;
    while (result) {
        int32_t level = 0;
        int64_t at = load->reader.consumed;
        size_t got = takeWordBytes(&load->reader, &level);
        if (got != 4) {
            result = endOfInput(load, got != 0, at);
            break;
        }
        result = readNode100(load, &path, &previousLevel, level, at);
    }
    modelFree(path.ids);
    modelFree(path.isItem);
    return result;
}

static int readAll(Load* load) {
    int32_t version = 0;
    size_t got = takeWordBytes(&load->reader, &version);
    if (got != 4)
        return endOfInput(load, got != 0, 0);
    load->report->version = version;
    load->report->hasVersion = 1;
    if (version == kVersion100)
        return readVersion100(load);
    if (!readHeader(load, version))
        return 0;
    return readRecords210(load);
}

static int runLoad(Load* load) {
    int result = readAll(load);
    modelFree(load->scratch.text);
    if (result && load->zeroInNoteAt >= 0)
        result = fail(load, kLoadZeroInNote, load->zeroInNoteAt, 0);
    return result;
}

static void startLoad(Load* load, NoteList* list, ViewOptions* options, CategoryList* categories,
                      LoadReport* report) {
    memset(load, 0, sizeof *load);
    memset(report, 0, sizeof *report);
    load->list = list;
    load->options = options;
    load->categories = categories;
    load->report = report;
    load->zeroInNoteAt = -1;
}

int readNoteBytes(NoteList* list, const void* data, size_t size, ViewOptions* options,
                  CategoryList* categories, LoadReport* report) {
    LoadReport ignored;
    Load load;
    startLoad(&load, list, options, categories, report ? report : &ignored);
    load.reader.bytes = (const uint8_t*)data;
    load.reader.length = size;
    load.reader.total = (int64_t)size;
    load.reader.sized = true;
    return runLoad(&load);
}

int readNoteHandle(NoteList* list, FileHandle* file, const void* head, size_t headSize,
                   ViewOptions* options, CategoryList* categories, LoadReport* report) {
    LoadReport ignored;
    Load load;
    startLoad(&load, list, options, categories, report ? report : &ignored);
    const FileOps* ops = currentFileOps();
    int64_t size = ops->size(file);
    uint8_t* buffer = (uint8_t*)modelAlloc(kReadBufferBytes);
    if (!buffer)
        return fail(&load, kLoadOutOfMemory, 0, kReadBufferBytes);
    load.reader.ops = ops;
    load.reader.file = file;
    load.reader.ownBuffer = buffer;
    // What was read already comes first; refills then go to the buffer.
    load.reader.bytes = headSize ? (const uint8_t*)head : buffer;
    load.reader.length = headSize;
    load.reader.total = size;
    load.reader.sized = size >= 0;
    int result = runLoad(&load);
    modelFree(buffer);
    return result;
}

int readNoteFileEx(NoteList* list, const PathChar* path, ViewOptions* options,
                   CategoryList* categories, int flags, LoadReport* report) {
    const FileOps* ops = currentFileOps();
    FileHandle* file = ops->openRead(path, flags);
    if (!file) {
        LoadReport ignored;
        Load load;
        startLoad(&load, list, options, categories, report ? report : &ignored);
        return fail(&load, kLoadCannotOpen, 0, ops->lastError());
    }
    int result = readNoteHandle(list, file, nullptr, 0, options, categories, report);
    ops->close(file);
    return result;
}

int readNoteFile(NoteList* list, const PathChar* path, ViewOptions* options,
                 CategoryList* categories) {
    return readNoteFileEx(list, path, options, categories, 1, nullptr);
}

void describeLoadReport(const LoadReport* report, char* text, size_t textSize) {
    long long at = (long long)report->offset;
    long long value = (long long)report->value;
    switch (report->problem) {
    case kLoadOk:
        snprintf(text, textSize, "loaded");
        break;
    case kLoadCannotOpen:
        snprintf(text, textSize, "cannot open the file (error %lld)", value);
        break;
    case kLoadReadError:
        snprintf(text, textSize, "read error near byte %lld", at);
        break;
    case kLoadTruncated:
        if (at == 0)
            snprintf(text, textSize, "the file ends inside its header");
        else
            snprintf(text, textSize, "the file ends inside the record at byte %lld", at);
        break;
    case kLoadBadNoteLength:
        snprintf(text, textSize, "note length %lld at byte %lld does not fit the file", value, at);
        break;
    case kLoadBadNameLength:
        snprintf(text, textSize, "name length %lld at byte %lld does not fit the file", value, at);
        break;
    case kLoadBadLevel:
        snprintf(text, textSize, "negative level %lld at byte %lld", value, at);
        break;
    case kLoadLevelJump:
        snprintf(text, textSize, "level %lld at byte %lld skips a level", value, at);
        break;
    case kLoadOutOfMemory:
        snprintf(text, textSize, "out of memory near byte %lld", at);
        break;
    case kLoadZeroInNote:
        snprintf(text, textSize, "the note whose length is at byte %lld holds a zero character",
                 at);
        break;
    }
}
