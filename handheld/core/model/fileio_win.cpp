#include "fileio.h"

#include <windows.h>

namespace {

enum { kLongPathChars = 1024 };

} // namespace

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

namespace {

// A path of MAX_PATH characters or more (a kept copy's or a temporary
// file's name beside a long note path) is given to the system in its long
// form, "\\?\C:\..." or "\\?\UNC\server\...", made from the full path, so
// the save works there as anywhere. A path that does not fit stays as it is
// and fails like any other.
struct LongPath {
    WCHAR text[kLongPathChars];
};

} // namespace

static const WCHAR* systemPath(const WCHAR* path, LongPath* buffer) {
    if (lstrlenW(path) < MAX_PATH - 12 || path[0] == 0)
        return path;
    if (path[0] == '\\' && path[1] == '\\' && (path[2] == '?' || path[2] == '.'))
        return path;
    WCHAR full[kLongPathChars];
    DWORD length = GetFullPathNameW(path, kLongPathChars, full, nullptr);
    if (length == 0 || length >= kLongPathChars - 8)
        return path;
    bool unc = full[0] == '\\' && full[1] == '\\';
    lstrcpyW(buffer->text, unc ? L"\\\\?\\UNC" : L"\\\\?\\");
    lstrcatW(buffer->text, unc ? full + 1 : full);
    return buffer->text;
}

// Only a regular file on a disk: a directory cannot be opened here at all,
// and a device, a console or a pipe is refused.
static bool isRegularFile(HANDLE handle, int flags) {
    DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_PIPE)
        return (flags & kOpenStreams) != 0;
    BY_HANDLE_FILE_INFORMATION info;
    return type == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

static FileHandle* winOpenRead(const PathChar* path, int flags) {
    LongPath longPath;
    HANDLE handle = CreateFileW(systemPath(path, &longPath), GENERIC_READ, 0, nullptr,
                                (flags & kOpenCreate) ? OPEN_ALWAYS : OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE && !isRegularFile(handle, flags)) {
        CloseHandle(handle);
        SetLastError(ERROR_BAD_FILE_TYPE);
        return nullptr;
    }
    return wrap(handle);
}

// CREATE_NEW fails on any name that exists, a link included; the flag keeps
// the system from following a reparse point all the same.
static FileHandle* winCreateNew(const PathChar* path) {
    LongPath longPath;
    return wrap(CreateFileW(systemPath(path, &longPath), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
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
    if (GetFileType(file->handle) != FILE_TYPE_DISK)
        return -1;
    if (!GetFileSizeEx(file->handle, &size))
        return -1;
    return (int64_t)size.QuadPart;
}

static void winClose(FileHandle* file) {
    CloseHandle(file->handle);
    LocalFree(file);
}

static int winReplace(const PathChar* source, const PathChar* target) {
    LongPath longSource, longTarget;
    return MoveFileExW(systemPath(source, &longSource), systemPath(target, &longTarget),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

static int winRemove(const PathChar* path) {
    LongPath longPath;
    return DeleteFileW(systemPath(path, &longPath)) != 0;
}
static int winExists(const PathChar* path) {
    LongPath longPath;
    return GetFileAttributesW(systemPath(path, &longPath)) != INVALID_FILE_ATTRIBUTES;
}
// The file's identity through a handle that asks for no access, so a file
// another program holds open still answers; a folder answers too.
static bool fileIdentity(const WCHAR* path, BY_HANDLE_FILE_INFORMATION* info) {
    LongPath longPath;
    HANDLE handle = CreateFileW(systemPath(path, &longPath), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(handle, info) != 0;
    CloseHandle(handle);
    return known;
}

int sameFile(const PathChar* a, const PathChar* b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (fileIdentity(a, &ia) && fileIdentity(b, &ib))
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    WCHAR fullA[kLongPathChars], fullB[kLongPathChars];
    DWORD lengthA = GetFullPathNameW(a, kLongPathChars, fullA, nullptr);
    DWORD lengthB = GetFullPathNameW(b, kLongPathChars, fullB, nullptr);
    if (!lengthA || lengthA >= kLongPathChars || !lengthB || lengthB >= kLongPathChars)
        return lstrcmpiW(a, b) == 0;
    return lstrcmpiW(fullA, fullB) == 0;
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
    static const FileOps ops = {winOpenRead,  winCreateNew,     winRead,     winWrite,  winFlush,
                                winSize,      winClose,         winReplace,  winRemove, winExists,
                                winLastError, winIsStorageFull, winTickCount};
    return &ops;
}
