#include "installplace.h"

#include "safepath.h"

#include <string.h>
#include <windows.h>

static const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Without FILE_SHARE_DELETE nobody can rename or replace a folder we hold.
static const DWORD kShareNoDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Some network file systems cannot give the normalized form; the form the
// path was opened by still shows where a link led.
static int finalPathOf(HANDLE handle, char out[kFinalPathSize]) {
    DWORD length = GetFinalPathNameByHandleA(handle, out, kFinalPathSize, FILE_NAME_NORMALIZED);
    if (length == 0)
        length = GetFinalPathNameByHandleA(handle, out, kFinalPathSize, FILE_NAME_OPENED);
    if (length == 0 || length >= kFinalPathSize) {
        out[0] = '\0';
        return 0;
    }
    if (out[length - 1] == '\\')
        out[length - 1] = '\0';
    return 1;
}

// Both paths come from the file system, so the common part is spelled alike.
static int liesWithin(const char* path, const char* directory) {
    size_t length = strlen(directory);
    return length > 0 && !strncmp(path, directory, length) &&
           (path[length] == '\0' || path[length] == '\\');
}

static int liesDirectlyIn(const char* path, const char* directory) {
    size_t length = strlen(directory);
    return length > 0 && !strncmp(path, directory, length) && path[length] == '\\' &&
           path[length + 1] && !strchr(path + length + 1, '\\');
}

static int isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Every folder between the installation directory and the entry must be a
// real folder, not a link. path is the directory, a backslash and the entry;
// the folders are the prefixes of path ending at the entry's separators.
static PlaceResult checkFoldersOnTheWay(char* path, size_t directoryLength) {
    for (char* p = path + directoryLength + 1; *p; ++p) {
        if (!isSeparator(*p))
            continue;
        char kept = *p;
        *p = '\0';
        DWORD attributes = GetFileAttributesA(path);
        *p = kept;
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return kPlaceFailed;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return kPlaceRefused;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return kPlaceFailed;
    }
    return kPlaceDone;
}

// Opens the entry's folder without following a link and keeps it open, so it
// cannot be swapped for a link while the entry is worked on. It must resolve
// inside the installation directory. The installation directory itself is
// opened the ordinary way: it may be a link the user chose.
static PlaceResult openParent(const InstallPlace* place, char* path, HANDLE* parent,
                              char parentFinal[kFinalPathSize]) {
    *parent = INVALID_HANDLE_VALUE;
    size_t directoryLength = strlen(place->directory);
    PlaceResult result = checkFoldersOnTheWay(path, directoryLength);
    if (result != kPlaceDone)
        return result;
    char* last = path + directoryLength;
    for (char* p = last + 1; *p; ++p)
        if (isSeparator(*p))
            last = p;
    int isTop = last == path + directoryLength;
    char kept = *last;
    *last = '\0';
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (isTop ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES, kShareNoDelete, nullptr, OPEN_EXISTING,
                                flags, nullptr);
    *last = kept;
    if (folder == INVALID_HANDLE_VALUE)
        return kPlaceFailed;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(folder, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(folder);
        return kPlaceFailed;
    }
    if ((!isTop && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ||
        !finalPathOf(folder, parentFinal) || !liesWithin(parentFinal, place->finalPath)) {
        CloseHandle(folder);
        return kPlaceRefused;
    }
    *parent = folder;
    return kPlaceDone;
}

// The opened entry is a plain file directly in its folder. Where the system
// follows a link despite FILE_FLAG_OPEN_REPARSE_POINT, the handle's own path
// gives the link away.
static PlaceResult checkOpenedEntry(HANDLE file, const char* parentFinal, int forWriting) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return kPlaceFailed;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return kPlaceRefused;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return kPlaceFailed;
    // A second name would let the copy change a file elsewhere.
    if (forWriting && info.nNumberOfLinks > 1)
        return kPlaceRefused;
    char finalPath[kFinalPathSize];
    if (!finalPathOf(file, finalPath) || !liesDirectlyIn(finalPath, parentFinal))
        return kPlaceRefused;
    return kPlaceDone;
}

// An existing file is opened as it is, a link not followed; a missing one is
// created only if nothing at all has that name meanwhile. A name that cannot
// be opened yet cannot be created either is a link that leads nowhere (where
// the system follows links despite FILE_FLAG_OPEN_REPARSE_POINT): refused.
static PlaceResult openTarget(const char* path, HANDLE* target) {
    const DWORD access = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
    *target = CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (*target != INVALID_HANDLE_VALUE)
        return kPlaceDone;
    if (GetLastError() != ERROR_FILE_NOT_FOUND)
        return kPlaceFailed;
    *target = CreateFileA(path, access, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (*target != INVALID_HANDLE_VALUE)
        return kPlaceDone;
    return GetLastError() == ERROR_FILE_EXISTS ? kPlaceRefused : kPlaceFailed;
}

// Replaces the target's content with the source's and takes over its time of
// last change, as a copy would.
static int pump(HANDLE source, HANDLE target) {
    if (!SetEndOfFile(target))
        return 0;
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source, buffer, sizeof buffer, &got, nullptr))
            return 0;
        if (got == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(target, buffer, got, &written, nullptr) || written != got)
            return 0;
    }
    FILETIME changed;
    if (GetFileTime(source, nullptr, nullptr, &changed))
        SetFileTime(target, nullptr, nullptr, &changed);
    return 1;
}

static PlaceResult preparePath(const InstallPlace* place, const char* entry, char path[kPathSize]) {
    if (!isSafeEntry(entry) || !place->finalPath[0])
        return kPlaceRefused;
    if (!joinPath(path, kPathSize, place->directory, entry))
        return kPlaceTooLong;
    return kPlaceDone;
}

// The entry's full path, and its folder held open (openParent).
static PlaceResult openEntryFolder(const InstallPlace* place, const char* entry,
                                   char path[kPathSize], HANDLE* parent,
                                   char parentFinal[kFinalPathSize]) {
    PlaceResult result = preparePath(place, entry, path);
    if (result != kPlaceDone)
        return result;
    return openParent(place, path, parent, parentFinal);
}

int openInstallPlace(InstallPlace* place, const char* directory) {
    place->finalPath[0] = '\0';
    size_t length = strlen(directory);
    if (length >= sizeof place->directory)
        return 0;
    memcpy(place->directory, directory, length + 1);
    HANDLE folder = CreateFileA(directory, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return 0;
    int resolved = finalPathOf(folder, place->finalPath);
    CloseHandle(folder);
    return resolved;
}

// One action on an entry whose folder is held open: path is the entry's full
// path, parentFinal the folder's own path through its handle.
typedef PlaceResult (*EntryAction)(const char* entry, const char* path, const char* parentFinal);

// The entry's folder is held open while the action runs (openEntryFolder).
static PlaceResult actOnEntry(const InstallPlace* place, const char* entry, EntryAction act) {
    char path[kPathSize];
    HANDLE parent;
    char parentFinal[kFinalPathSize];
    PlaceResult result = openEntryFolder(place, entry, path, &parent, parentFinal);
    if (result != kPlaceDone)
        return result;
    result = act(entry, path, parentFinal);
    CloseHandle(parent);
    return result;
}

static PlaceResult copyEntry(const char* entry, const char* path, const char* parentFinal) {
    HANDLE source = CreateFileA(entry, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (source == INVALID_HANDLE_VALUE)
        return kPlaceFailed;
    HANDLE target;
    PlaceResult result = openTarget(path, &target);
    if (result == kPlaceDone) {
        result = checkOpenedEntry(target, parentFinal, 1);
        if (result == kPlaceDone && !pump(source, target))
            result = kPlaceFailed;
        CloseHandle(target);
    }
    CloseHandle(source);
    return result;
}

static PlaceResult deleteEntry(const char*, const char* path, const char* parentFinal) {
    HANDLE file =
        CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kPlaceFailed;
    PlaceResult result = checkOpenedEntry(file, parentFinal, 0);
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (result == kPlaceDone &&
        !SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition))
        result = kPlaceFailed;
    CloseHandle(file);
    return result;
}

static PlaceResult checkEntry(const char*, const char* path, const char* parentFinal) {
    HANDLE file = CreateFileA(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kPlaceFailed;
    PlaceResult result = checkOpenedEntry(file, parentFinal, 0);
    CloseHandle(file);
    return result;
}

PlaceResult copyIntoPlace(const InstallPlace* place, const char* entry) {
    return actOnEntry(place, entry, copyEntry);
}

PlaceResult deleteFromPlace(const InstallPlace* place, const char* entry) {
    return actOnEntry(place, entry, deleteEntry);
}

PlaceResult checkInPlace(const InstallPlace* place, const char* entry) {
    return actOnEntry(place, entry, checkEntry);
}
