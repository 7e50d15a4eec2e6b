// The twk commands, callable from tests as well as from main.
#pragma once

#include "fileio.h"
#include "notefile.h"

#include <stdio.h>

enum { kTwkOk = 0, kTwkLoadFailed = 1, kTwkUsage = 2 };

int twkMain(int argc, PathChar** argv, FILE* out, FILE* err);

// 1 when both paths name one existing file.
int sameExistingFile(const PathChar* a, const PathChar* b);

// A note file as the commands load it.
struct Document {
    NoteList list;
    ViewOptions options;
    CategoryList categories;
    LoadReport report;
    int loaded;
};

// Loads like the program: empty list titled "Note Tree", options all 0.
// Returns kTwkUsage when the file cannot be opened at all, kTwkLoadFailed
// (with one line on err) when it is damaged.
int loadDocument(const PathChar* path, Document* doc, FILE* err);
void freeDocument(Document* doc);
void putPath(FILE* out, const PathChar* path);

// The exchange with other outliners (twk_exchange.cpp).
enum InputKind { kInputMissing, kInputNoteFile, kInputXml };
int inputKind(const PathChar* path);
int commandOpml(const PathChar* path, FILE* out, FILE* err);
int commandMarkdown(const PathChar* path, FILE* out, FILE* err);
// OPML into a new note file; the caller has made sure out is not in.
int convertOpml(const PathChar* in, const PathChar* out, FILE* err);
