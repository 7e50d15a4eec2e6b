#include "fileio.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
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

static bool sameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A named pipe stays open as first opened, so whatever a writer puts into
// it, even one that comes and goes before we read, is kept. Reads wait as a
// pipe's reader does; until a writer has come, poll waits for it, since a
// read would take the empty pipe for its end.
static FileHandle* waitForWriter(int fd) {
    struct pollfd waiter = {fd, POLLIN, 0};
    while (poll(&waiter, 1, -1) < 0) {
        if (errno != EINTR) {
            close(fd);
            return nullptr;
        }
    }
    if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    return wrap(fd);
}

// Only a regular file, or a pipe when asked for: a directory cannot be read
// and a device may never end. The open does not wait, so a named pipe that
// is refused cannot hang the program.
static FileHandle* posixOpenRead(const PathChar* path, int flags) {
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT && (flags & kOpenCreate))
        fd = open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return nullptr;
    }
    if (S_ISREG(st.st_mode) && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
        return wrap(fd);
    if ((flags & kOpenStreams) && S_ISFIFO(st.st_mode))
        return waitForWriter(fd);
    close(fd);
    errno = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    return nullptr;
}

static FileHandle* posixCreateNew(const PathChar* path) {
    return wrap(open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
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
    if (fstat(file->fd, &st) != 0 || !S_ISREG(st.st_mode))
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
int sameFile(const PathChar* a, const PathChar* b) {
    struct stat sa, sb;
    if (stat(a, &sa) == 0 && stat(b, &sb) == 0)
        return sameInode(sa, sb);
    return strcmp(a, b) == 0;
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
    static const FileOps ops = {posixOpenRead, posixCreateNew, posixRead,      posixWrite,
                                posixFlush,    posixSize,      posixClose,     posixReplace,
                                posixRemove,   posixExists,    posixLastError, posixIsStorageFull,
                                posixTickCount};
    return &ops;
}
