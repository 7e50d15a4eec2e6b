#include "safepath.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

static int isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Skips "\\server\share" and returns a pointer past it, or null when the
// share's name is missing.
static const char* skipShare(const char* path) {
    const char* p = path + 2;
    for (int part = 0; part < 2; ++part) {
        const char* start = p;
        while (*p && !isSeparator(*p))
            ++p;
        if (p == start)
            return nullptr;
        while (isSeparator(*p))
            ++p;
    }
    return p;
}

static int isDotOrBlank(char c) {
    return c == '.' || c == ' ';
}

// "\\?\", "\\.\" and "\??\", with either separator.
static int isDevicePath(const char* path) {
    if (isSeparator(path[0]) && isSeparator(path[1]) && (path[2] == '?' || path[2] == '.') &&
        isSeparator(path[3]))
        return 1;
    return isSeparator(path[0]) && path[1] == '?' && path[2] == '?' && isSeparator(path[3]);
}

int isSafeEntry(const char* entry) {
    if (!entry[0] || isSeparator(entry[0]) || strchr(entry, ':'))
        return 0;
    const char* p = entry;
    while (*p) {
        const char* start = p;
        while (*p && !isSeparator(*p))
            ++p;
        size_t length = (size_t)(p - start);
        if ((length == 1 && start[0] == '.') || (length == 2 && start[0] == '.' && start[1] == '.'))
            return 0;
        if (*p)
            ++p;
    }
    return 1;
}

int isRootDirectory(const char* directory) {
    if (!directory[0] || isDevicePath(directory))
        return 1;
    // "C:" alone names the current directory of drive C, whatever that is.
    const char* tail = directory;
    if (tail[0] && tail[1] == ':') {
        tail += 2;
        while (isSeparator(*tail))
            ++tail;
        if (!*tail)
            return 1;
    }
    char full[MAX_PATH * 2];
    DWORD length = GetFullPathNameA(directory, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return 1;
    if (isDevicePath(full))
        return 1;
    const char* rest = full;
    if (isSeparator(rest[0]) && isSeparator(rest[1])) {
        rest = skipShare(rest);
        if (!rest)
            return 1;
    } else if (rest[0] && rest[1] == ':') {
        rest += 2;
    }
    while (isSeparator(*rest))
        ++rest;
    return *rest == '\0';
}

int endsInDotOrBlank(const char* directory) {
    size_t end = strlen(directory);
    while (end > 0 && isSeparator(directory[end - 1]))
        --end;
    return end > 0 && isDotOrBlank(directory[end - 1]);
}

int isFullPath(const char* directory) {
    char letter = (char)(directory[0] | 0x20);
    if (letter >= 'a' && letter <= 'z' && directory[1] == ':' && isSeparator(directory[2]))
        return 1;
    return isSeparator(directory[0]) && isSeparator(directory[1]) && directory[2] &&
           !isSeparator(directory[2]) && !isDevicePath(directory);
}

int joinPath(char* out, size_t size, const char* directory, const char* entry) {
    int written = snprintf(out, size, "%s\\%s", directory, entry);
    if (written < 0 || (size_t)written >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

int isUsableTitle(const char* title) {
    if (!title[0] || isDotOrBlank(title[strlen(title) - 1]))
        return 0;
    return strpbrk(title, "\\/") == nullptr;
}
