#include "keptcopy.h"

#include "notemodel.h"
#include "usernotice.h"

#include <stdio.h>
#include <string.h>

namespace {

enum { kCopyBufferBytes = 64 * 1024 };

} // namespace

static bool isSeparator(PathChar c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

// Where the extension starts: the last dot of the file name, or its end.
// A name that only starts with a dot has no extension.
static size_t extensionStart(const PathChar* path, size_t length) {
    size_t name = 0;
    for (size_t i = 0; i < length; ++i)
        if (isSeparator(path[i]))
            name = i + 1;
    for (size_t i = length; i > name + 1; --i)
        if (path[i - 1] == '.')
            return i - 1;
    return length;
}

static int copyBytes(const FileOps* ops, FileHandle* source, FileHandle* copy, void* buffer) {
    for (;;) {
        long got = ops->read(source, buffer, kCopyBufferBytes);
        if (got < 0)
            return 0;
        if (got == 0)
            return ops->flush(copy);
        if (!ops->write(copy, buffer, (size_t)got))
            return 0;
    }
}

int makeKeptName(const PathChar* path, int n, PathChar* out, size_t outChars) {
    char suffix[24];
    int suffixChars = n <= 1 ? snprintf(suffix, sizeof suffix, " (damaged)")
                             : snprintf(suffix, sizeof suffix, " (damaged %d)", n);
    size_t length = pathLength(path);
    size_t dot = extensionStart(path, length);
    if (suffixChars <= 0 || length + (size_t)suffixChars + 1 > outChars)
        return 0;
    memcpy(out, path, dot * sizeof(PathChar));
    for (int i = 0; i < suffixChars; ++i)
        out[dot + (size_t)i] = (PathChar)suffix[i];
    memcpy(out + dot + suffixChars, path + dot, (length - dot) * sizeof(PathChar));
    out[length + (size_t)suffixChars] = 0;
    return 1;
}

KeepResult keepOriginal(const PathChar* path, PathChar* kept, size_t keptChars) {
    const FileOps* ops = currentFileOps();
    if (!ops->exists(path))
        return kKeepNothing;
    FileHandle* source = ops->openRead(path, 0);
    if (!source)
        return kKeepFailed;
    void* buffer = modelAlloc(kCopyBufferBytes);
    KeepResult result = kKeepFailed;
    int error = 0;
    for (int n = 1; buffer && n <= kMaxKeptCopies; ++n) {
        if (!makeKeptName(path, n, kept, keptChars))
            break;
        FileHandle* copy = ops->createNew(kept);
        if (!copy) {
            // Taken: try the next name. Free, yet not creatable: no rights
            // or no room, and another name will not help.
            if (ops->exists(kept))
                continue;
            error = ops->lastError();
            break;
        }
        int copied = copyBytes(ops, source, copy, buffer);
        if (!copied)
            error = ops->lastError();
        ops->close(copy);
        if (copied)
            result = kKeepDone;
        else
            ops->remove(kept); // made here, so removing it destroys nothing
        break;
    }
    modelFree(buffer);
    ops->close(source);
    if (result == kKeepFailed && ops->isStorageFull(error))
        tellUser(kNoticeStorageFull);
    return result;
}
