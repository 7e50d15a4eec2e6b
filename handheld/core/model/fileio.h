// The few file operations a save and a load need, behind one table of
// function pointers. The platform supplies the real table; tests wrap it to
// make a chosen write, the flush or the rename fail.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
typedef wchar_t PathChar; // Windows paths are UTF-16
#define PATH_TEXT(s) L##s
#else
typedef char PathChar; // host paths are bytes (UTF-8)
#define PATH_TEXT(s) s
#endif

struct FileHandle;

enum OpenFlags {
    kOpenCreate = 1,  // make an empty file first when no file has the name
    kOpenStreams = 2, // a pipe (standard input) is read too, to its end
};

struct FileOps {
    // Opens for reading, not shared (OpenFlags). Only a regular file is
    // opened, or a pipe when kOpenStreams is given: a directory or a device
    // (which may never end) is refused. Null on failure.
    FileHandle* (*openRead)(const PathChar* path, int flags);
    // Creates for writing, not shared, only when no file or link has that
    // name; a link of that name is never followed.
    FileHandle* (*createNew)(const PathChar* path);
    // Bytes read (0 at the end), or -1 on an error.
    long (*read)(FileHandle* file, void* buffer, size_t bytes);
    int (*write)(FileHandle* file, const void* data, size_t bytes);
    int (*flush)(FileHandle* file);
    // Size in bytes; -1 for a pipe, whose size is only known at its end.
    int64_t (*size)(FileHandle* file);
    void (*close)(FileHandle* file);
    // Replaces target with source atomically (same folder, so same volume).
    int (*replace)(const PathChar* source, const PathChar* target);
    int (*remove)(const PathChar* path);
    // 1 when something (a file or a folder) has that name.
    int (*exists)(const PathChar* path);
    // The platform's last error, for telling a full disk from other failures.
    int (*lastError)();
    int (*isStorageFull)(int error);
    uint32_t (*tickCount)();
};

const FileOps* platformFileOps();
// The table in use; tests may install another (null restores the platform's).
const FileOps* currentFileOps();
void setFileOps(const FileOps* ops);

size_t pathLength(const PathChar* path);

// 1 when both paths name one file on disk: the same volume and file index on
// Windows, the same device and inode elsewhere, whatever links, aliases or
// spellings lead there. Only when a path names no file yet are the spellings
// compared.
int sameFile(const PathChar* a, const PathChar* b);
