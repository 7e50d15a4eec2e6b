#include "fileio.h"

#include <windows.h>

struct FileHandle {
    HANDLE handle;
};

static FileHandle* wrap(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    FileHandle* file = (FileHandle*)LocalAlloc(LPTR, sizeof(FileHandle));
    if (!file) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    file->handle = handle;
    return file;
}

static FileHandle* winOpenRead(const PathChar* path, int createIfMissing) {
    return wrap(CreateFileW(path, GENERIC_READ, 0, nullptr,
                            createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
}

static FileHandle* winCreateWrite(const PathChar* path) {
    return wrap(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
}

static FileHandle* winCreateNew(const PathChar* path) {
    return wrap(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

static long winRead(FileHandle* file, void* buffer, size_t bytes) {
    DWORD got = 0;
    if (!ReadFile(file->handle, buffer, (DWORD)bytes, &got, nullptr))
        return -1;
    return (long)got;
}

static int winWrite(FileHandle* file, const void* data, size_t bytes) {
    const char* p = (const char*)data;
    while (bytes > 0) {
        DWORD chunk = bytes > 0x40000000u ? 0x40000000u : (DWORD)bytes;
        DWORD written = 0;
        if (!WriteFile(file->handle, p, chunk, &written, nullptr))
            return 0;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return 0;
        }
        p += written;
        bytes -= written;
    }
    return 1;
}

static int winFlush(FileHandle* file) {
    return FlushFileBuffers(file->handle) != 0;
}

static int64_t winSize(FileHandle* file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file->handle, &size))
        return -1;
    return (int64_t)size.QuadPart;
}

static void winClose(FileHandle* file) {
    CloseHandle(file->handle);
    LocalFree(file);
}

static int winReplace(const PathChar* source, const PathChar* target) {
    return MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

static int winRemove(const PathChar* path) {
    return DeleteFileW(path) != 0;
}
static int winExists(const PathChar* path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}
static int winLastError() {
    return (int)GetLastError();
}
static int winIsStorageFull(int error) {
    return error == ERROR_HANDLE_DISK_FULL || error == ERROR_DISK_FULL;
}
static uint32_t winTickCount() {
    return GetTickCount();
}

const FileOps* platformFileOps() {
    static const FileOps ops = {winOpenRead,      winCreateWrite, winCreateNew, winRead,
                                winWrite,         winFlush,       winSize,      winClose,
                                winReplace,       winRemove,      winExists,    winLastError,
                                winIsStorageFull, winTickCount};
    return &ops;
}
