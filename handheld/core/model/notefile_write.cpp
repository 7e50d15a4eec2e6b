// Saving a document as version 210. The bytes go to a temporary file in the
// target's folder, which then replaces the target in one step, so a failed
// save leaves the previous file whole.
#include "notefile.h"

#include "notemodel.h"
#include "usernotice.h"

#include <string.h>

namespace {

enum {
    kWriteBufferBytes = 64 * 1024,
    // Names tried after the tick's own: every three-digit name once.
    kTempNameSteps = 900,
};

struct Writer {
    const FileOps* ops;
    FileHandle* file;
    uint8_t* buffer; // null: every piece goes straight to the file
    size_t used;
    bool failed;
    int error; // last error of the first failure
};

} // namespace

static void noteFailure(Writer* w) {
    if (!w->failed) {
        w->failed = true;
        w->error = w->ops->lastError();
    }
}

static void flushBuffer(Writer* w) {
    if (w->failed || w->used == 0)
        return;
    if (!w->ops->write(w->file, w->buffer, w->used))
        noteFailure(w);
    w->used = 0;
}

static void put(Writer* w, const void* data, size_t bytes) {
    if (w->failed)
        return;
    if (!w->buffer || bytes >= kWriteBufferBytes) {
        flushBuffer(w);
        if (!w->failed && !w->ops->write(w->file, data, bytes))
            noteFailure(w);
        return;
    }
    if (w->used + bytes > kWriteBufferBytes)
        flushBuffer(w);
    memcpy(w->buffer + w->used, data, bytes);
    w->used += bytes;
}

static void putWord(Writer* w, uint32_t value) {
    uint8_t b[4] = {(uint8_t)value, (uint8_t)(value >> 8), (uint8_t)(value >> 16),
                    (uint8_t)(value >> 24)};
    put(w, b, 4);
}

static void writeDocument(Writer* w, const NoteList* list, const ViewOptions* options) {
    putWord(w, kCurrentVersion);
    putWord(w, (uint32_t)list->nextId);
    putWord(w, list->rootState);
    put(w, list->title, sizeof list->title);
    putWord(w, (uint32_t)options->viewMode);
    putWord(w, (uint32_t)options->hideChecked);
    putWord(w, (uint32_t)options->ascending);
    putWord(w, (uint32_t)options->arrangeKey);
    for (const NoteItem* item = list->head; item && !w->failed; item = item->next) {
        put(w, item, kPersistentSize);
        size_t n = noteLength(item);
        putWord(w, (uint32_t)n);
        if (n > 0)
            put(w, item->note, n * sizeof(WideChar));
    }
    flushBuffer(w);
}

static bool isSeparator(PathChar c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// Length of the folder part of a path, separator included.
static size_t folderLength(const PathChar* path) {
    size_t n = pathLength(path), folder = 0;
    for (size_t i = 0; i < n; ++i)
        if (isSeparator(path[i]))
            folder = i + 1;
#ifdef _WIN32
    if (folder == 0 && n >= 2 && path[1] == ':')
        folder = 2; // "C:notes.twk": the current folder of drive C
#endif
    return folder;
}

int makeTempFileName(const PathChar* target, uint32_t tick, PathChar* out, size_t outChars) {
    char digits[16];
    size_t count = 0;
    char reversed[16];
    do {
        reversed[count++] = (char)('0' + tick % 10);
        tick /= 10;
    } while (tick > 0);
    size_t keep = count < 3 ? count : 3;
    for (size_t i = 0; i < keep; ++i)
        digits[i] = reversed[count - 1 - i];

    size_t folder = folderLength(target);
#ifdef _WIN32
    static const PathChar here[] = {'.', '\\', 0};
#else
    static const PathChar here[] = {'.', '/', 0};
#endif
    size_t prefix = folder ? folder : pathLength(here);
    size_t needed = prefix + 3 + keep + 4 + 1;
    if (needed > outChars)
        return 0;
    memcpy(out, folder ? target : here, prefix * sizeof(PathChar));
    size_t at = prefix;
    out[at++] = 't';
    out[at++] = 'w';
    out[at++] = 'g';
    for (size_t i = 0; i < keep; ++i)
        out[at++] = (PathChar)digits[i];
    out[at++] = '.';
    out[at++] = 't';
    out[at++] = 'm';
    out[at++] = 'p';
    out[at] = 0;
    return 1;
}

// Opens a new temporary file beside the target under the first free name,
// starting from the tick's digits and stepping through the three-digit names.
// A name that is taken (an ordinary file, a link, a file the user left there)
// is passed over, never opened: the save only ever writes, renames or deletes
// a file it has just created itself.
static FileHandle* createTempFile(const FileOps* ops, const PathChar* target, PathChar* temp,
                                  size_t tempChars) {
    uint32_t tick = ops->tickCount();
    for (uint32_t step = 0; step <= kTempNameSteps; ++step) {
        uint32_t digits = step == 0 ? tick : 100 + (tick + step) % 900;
        if (!makeTempFileName(target, digits, temp, tempChars))
            return nullptr;
        if (sameFile(temp, target))
            continue;
        FileHandle* file = ops->createNew(temp);
        if (file)
            return file;
        // Free, yet not creatable: no rights or no room, and another name
        // will not help.
        if (!ops->exists(temp))
            return nullptr;
    }
    return nullptr;
}

int writeNoteFile(const NoteList* list, const PathChar* target, const ViewOptions* options) {
    const FileOps* ops = currentFileOps();
    size_t tempChars = pathLength(target) + 16;
    PathChar* temp = (PathChar*)modelAllocArray(tempChars, sizeof(PathChar));
    if (!temp)
        return 0;
    Writer w;
    memset(&w, 0, sizeof w);
    w.ops = ops;
    w.file = createTempFile(ops, target, temp, tempChars);
    if (!w.file) {
        modelFree(temp);
        return 0;
    }
    w.buffer = (uint8_t*)modelAlloc(kWriteBufferBytes);
    writeDocument(&w, list, options);
    if (!w.failed && !ops->flush(w.file))
        noteFailure(&w);
    ops->close(w.file);
    if (!w.failed && !ops->replace(temp, target))
        noteFailure(&w);
    if (w.failed)
        ops->remove(temp);
    modelFree(w.buffer);
    modelFree(temp);
    if (w.failed && ops->isStorageFull(w.error))
        tellUser(kNoticeStorageFull);
    return w.failed ? 0 : 1;
}
