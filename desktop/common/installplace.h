// The copies and deletions below the installation directory. Both programs
// run elevated, and anyone who can write into the installation directory can
// put a link there (a junction, a symbolic link, a mount point) that leads
// elsewhere. So no copy or deletion goes through a link below the directory:
// every folder on the way is checked, the entry's folder is held open while
// the entry is worked on, and the file itself is opened without following a
// link and checked through its handle before anything is written or deleted.
#pragma once

#include "setupscript.h"

enum {
    // A resolved path: "\\?\" or "\\?\UNC\" before a path of up to 259
    // characters, or longer once links are resolved.
    kFinalPathSize = 1024,
};

struct InstallPlace {
    char directory[kPathSize];      // as the user chose it
    char finalPath[kFinalPathSize]; // as the file system resolves it, without a
                                    // trailing backslash; empty when unknown
};

enum PlaceResult {
    kPlaceFailed = 0, // missing, unreadable or not writable: no message
    kPlaceDone = 1,
    kPlaceRefused = 2, // would leave the directory or go through a link
    kPlaceTooLong = 3, // the directory, a backslash and the entry do not fit
};

// Resolves the installation directory, following a link the user chose for
// the directory itself. 0 when it cannot be resolved; every entry is then
// refused.
int openInstallPlace(InstallPlace* place, const char* directory);

// Copies the file named by the entry, relative to the current directory, to
// the same entry below the installation directory, replacing an existing file
// but never one that is a link or has further names elsewhere.
PlaceResult copyIntoPlace(const InstallPlace* place, const char* entry);

// Deletes the entry below the installation directory; a link is never
// followed and never deleted.
PlaceResult deleteFromPlace(const InstallPlace* place, const char* entry);

// Checks that the entry names an existing plain file below the installation
// directory by the rules of a copy: no link on the way or at the end, nothing
// outside. For a file the installation hands on to another program.
PlaceResult checkInPlace(const InstallPlace* place, const char* entry);
