#include "fileio.h"

#include <errno.h>
#include <stdio.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

struct FileHandle {
    int fd;
};

static FileHandle* wrap(int fd) {
    if (fd < 0)
        return nullptr;
    FileHandle* file = (FileHandle*)malloc(sizeof(FileHandle));
    if (!file) {
        close(fd);
        return nullptr;
    }
    file->fd = fd;
    return file;
}

static FileHandle* posixOpenRead(const PathChar* path, int createIfMissing) {
    int flags = O_RDONLY | O_CLOEXEC;
    if (createIfMissing) {
        int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            return wrap(fd);
    }
    return wrap(open(path, flags));
}

static FileHandle* posixCreateWrite(const PathChar* path) {
    return wrap(open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

static FileHandle* posixCreateNew(const PathChar* path) {
    return wrap(open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
}

static long posixRead(FileHandle* file, void* buffer, size_t bytes) {
    for (;;) {
        ssize_t n = read(file->fd, buffer, bytes);
        if (n < 0 && errno == EINTR)
            continue;
        return (long)n;
    }
}

static int posixWrite(FileHandle* file, const void* data, size_t bytes) {
    const char* p = (const char*)data;
    while (bytes > 0) {
        ssize_t n = write(file->fd, p, bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return 0;
        }
        p += n;
        bytes -= (size_t)n;
    }
    return 1;
}

static int posixFlush(FileHandle* file) {
    return fsync(file->fd) == 0;
}

static int64_t posixSize(FileHandle* file) {
    struct stat st;
    if (fstat(file->fd, &st) != 0)
        return -1;
    return (int64_t)st.st_size;
}

static void posixClose(FileHandle* file) {
    close(file->fd);
    free(file);
}

static int posixReplace(const PathChar* source, const PathChar* target) {
    return rename(source, target) == 0;
}

static int posixRemove(const PathChar* path) {
    return unlink(path) == 0;
}
static int posixExists(const PathChar* path) {
    struct stat st;
    return lstat(path, &st) == 0;
}
static int posixLastError() {
    return errno;
}
static int posixIsStorageFull(int error) {
    return error == ENOSPC || error == EDQUOT;
}

static uint32_t posixTickCount() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

const FileOps* platformFileOps() {
    static const FileOps ops = {
        posixOpenRead, posixCreateWrite, posixCreateNew,     posixRead,     posixWrite,
        posixFlush,    posixSize,        posixClose,         posixReplace,  posixRemove,
        posixExists,   posixLastError,   posixIsStorageFull, posixTickCount};
    return &ops;
}
