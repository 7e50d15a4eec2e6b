// The twk commands, callable from tests as well as from main.
#pragma once

#include "fileio.h"
#include "notefile.h"

#include <stdio.h>

enum { kTwkOk = 0, kTwkLoadFailed = 1, kTwkUsage = 2 };

int twkMain(int argc, PathChar** argv, FILE* out, FILE* err);

// A note file as the commands load it.
struct Document {
    NoteList list;
    ViewOptions options;
    CategoryList categories;
    LoadReport report;
    int loaded;
};

// Loads like the program: empty list titled "Note Tree", options all 0. A
// pipe is read too. Returns kTwkUsage when the file cannot be opened at all
// (missing, a directory, a device), kTwkLoadFailed (with one line on err)
// when it is damaged.
int loadDocument(const PathChar* path, Document* doc, FILE* err);

// The input of "convert", read once, whole, from the one stream opened.
struct InputBytes {
    uint8_t* data;
    size_t size;
};
// kTwkOk, or kTwkUsage / kTwkLoadFailed with one line on err.
int readInput(const PathChar* path, InputBytes* input, FILE* err);
// Loads note-file bytes as loadDocument does; the path names them on err.
int loadDocumentBytes(const PathChar* path, const InputBytes* input, Document* doc, FILE* err);
void freeDocument(Document* doc);
void putPath(FILE* out, const PathChar* path);

// The exchange with other outliners (twk_exchange.cpp).
int commandOpml(const PathChar* path, FILE* out, FILE* err);
int commandMarkdown(const PathChar* path, FILE* out, FILE* err);
// OPML bytes into a new note file; the caller has made sure out is not in.
int convertOpml(const PathChar* in, const InputBytes* input, const PathChar* out, FILE* err);
