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

// The input of "convert": opened once, its first bytes read to tell its
// kind, the rest read from the same stream, so a pipe works and the file
// cannot change between two opens.
struct InputStream {
    const FileOps* ops;
    FileHandle* file;
    uint8_t head[512];
    size_t headSize;
    size_t headTaken; // of head, already handed on
    int readFailed;   // a read error: nothing is written
};
// kTwkOk with the stream open, or kTwkUsage / kTwkLoadFailed with one line on
// err. closeInput closes it.
int openInput(const PathChar* path, InputStream* input, FILE* err);
void closeInput(InputStream* input);
// Bytes from the stream, the head first: 0 at the end, -1 on an error.
long readInput(void* input, void* buffer, size_t bytes);
// Loads the stream as a note file, as loadDocument does.
int loadDocumentFrom(const PathChar* path, InputStream* input, Document* doc, FILE* err);
void freeDocument(Document* doc);
void putPath(FILE* out, const PathChar* path);

// The exchange with other outliners (twk_exchange.cpp).
int commandOpml(const PathChar* path, FILE* out, FILE* err);
int commandMarkdown(const PathChar* path, FILE* out, FILE* err);
// OPML from the stream into a new note file; the caller has made sure out is
// not in.
int convertOpml(const PathChar* in, InputStream* input, const PathChar* out, FILE* err);
