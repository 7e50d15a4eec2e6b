// Buffered UTF-8 output for the exports: a document of 100,000 items is
// written in large blocks rather than a call per character.
#pragma once

#include "notetypes.h"

#include <stdio.h>

struct TextOut {
    FILE* file;
    size_t used;
    int failed; // a write to the file failed
    char buffer[65536];
};

void beginTextOut(TextOut* out, FILE* file);
// Writes what is buffered; 0 when any write failed.
int endTextOut(TextOut* out);
void putText(TextOut* out, const char* text);
void putBytes(TextOut* out, const char* bytes, size_t count);
void putCodePoint(TextOut* out, uint32_t c);
void putNumber(TextOut* out, long value);

// The code point at text[*i], advancing *i. A lone surrogate comes back as
// itself with *lone set.
uint32_t nextCodePoint(const WideChar* text, size_t length, size_t* i, bool* lone);
