// Reading and writing note files (".twk").
//
// Version 210 is written: a 156-byte header (version, nextId, rootState,
// title, then view mode, hide checked, ascending, arrangement key) followed by
// item records of 376 bytes, a note length in characters and the note text.
// Other versions below 210 have one option word instead of four; version 100
// stores a depth-first sequence of variable-length node records.
#pragma once

#include "fileio.h"
#include "notetypes.h"

enum LoadProblem {
    kLoadOk = 0,
    kLoadCannotOpen,
    kLoadReadError,
    kLoadTruncated,     // the file ends inside a record
    kLoadBadNoteLength, // negative, or longer than the rest of the file
    kLoadBadNameLength, // version 100: negative, or longer than the rest
    kLoadBadLevel,      // version 100: negative level
    kLoadLevelJump,     // version 100: level rises by more than one
    kLoadOutOfMemory,
    kLoadZeroInNote, // a note's stored length runs past a zero: it is kept only up to it
};

// What a load found, for tools that explain a failure.
struct LoadReport {
    LoadProblem problem;
    int64_t offset; // byte offset of the offending field
    int64_t value;  // the offending value, where there is one
    int32_t version;
    int32_t hasVersion;     // 0 for an empty file
    int32_t droppedRecords; // records that could not be appended for lack of memory
};

// Loads a file of any version into an emptied list. The file is created
// empty when it does not exist. Records read before a failure stay loaded.
int readNoteFile(NoteList* list, const PathChar* path, ViewOptions* options,
                 CategoryList* categories);

// The same with the OpenFlags (create a missing file, read a pipe too), and
// a report. A pipe is read to its end with memory bounded by what arrived.
int readNoteFileEx(NoteList* list, const PathChar* path, ViewOptions* options,
                   CategoryList* categories, int flags, LoadReport* report);

// The same from a file already open, whose first headSize bytes were taken
// from it into head before (to tell its kind, say): a pipe is read once.
int readNoteHandle(NoteList* list, FileHandle* file, const void* head, size_t headSize,
                   ViewOptions* options, CategoryList* categories, LoadReport* report);

// The same from bytes in memory.
int readNoteBytes(NoteList* list, const void* data, size_t size, ViewOptions* options,
                  CategoryList* categories, LoadReport* report);

// Writes version 210 to a new temporary file beside the target ("twgNNN.tmp",
// the first name no file or link has), then puts it in place of the target in
// one step. No other file is opened, replaced or deleted. On failure the
// target is untouched and the temporary file is gone; a full disk is told to
// the user.
int writeNoteFile(const NoteList* list, const PathChar* target, const ViewOptions* options);

// "twg" + the first three digits of tick + ".tmp", in the target's folder
// (".\" or "./" when the target names none). 0 when out is too small.
int makeTempFileName(const PathChar* target, uint32_t tick, PathChar* out, size_t outChars);

// One line explaining a failed load.
void describeLoadReport(const LoadReport* report, char* text, size_t textSize);

enum { kCurrentVersion = 210, kVersion100 = 100, kHeaderSize = 156, kShortHeaderSize = 144 };
