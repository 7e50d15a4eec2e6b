// Keeping the bytes of a note file that did not load whole, before a save
// replaces it: what could not be read is then still on disk, beside the
// file, for the user or a tool to rescue.
#pragma once

#include "fileio.h"

enum KeepResult {
    kKeepFailed = 0,  // no copy could be made; nothing was left behind
    kKeepDone = 1,    // the copy exists; its name is in kept
    kKeepNothing = 2, // no file has that name: there is nothing to keep
};

// Copies the file at path to a new file in the same folder, named like it
// with " (damaged)" before the extension ("Note Tree (damaged).twk"), or
// " (damaged 2)", " (damaged 3)" ... when that name is taken. An existing
// file is never opened for writing. A full disk is told to the user.
KeepResult keepOriginal(const PathChar* path, PathChar* kept, size_t keptChars);

// The name of copy number n (1 for " (damaged)"); 0 when out is too small.
int makeKeptName(const PathChar* path, int n, PathChar* out, size_t outChars);

enum { kMaxKeptCopies = 999, kKeptNameExtra = 16 }; // extra characters a kept name needs
