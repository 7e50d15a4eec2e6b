#include "widetext.h"

#include <string.h>

size_t wideLength(const WideChar* text, size_t cap) {
    size_t n = 0;
    while (n < cap && text[n] != 0)
        ++n;
    return n;
}

static size_t cutLength(const WideChar* text, size_t length, size_t limit) {
    if (length <= limit)
        return length;
    size_t n = limit;
    if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF)
        --n;
    return n;
}

void copyWideField(WideChar* field, size_t fieldChars, const WideChar* text, size_t srcCap) {
    if (fieldChars == 0)
        return;
    size_t n = cutLength(text, wideLength(text, srcCap), fieldChars - 1);
    memmove(field, text, n * sizeof(WideChar));
    field[n] = 0;
}

void copyAsciiField(WideChar* field, size_t fieldChars, const char* text) {
    if (fieldChars == 0)
        return;
    size_t n = 0;
    for (; n + 1 < fieldChars && text[n] != 0; ++n)
        field[n] = (WideChar)(unsigned char)text[n];
    field[n] = 0;
}

bool sameWideText(const WideChar* a, size_t aCap, const WideChar* b, size_t bCap) {
    size_t la = wideLength(a, aCap);
    size_t lb = wideLength(b, bCap);
    return la == lb && memcmp(a, b, la * sizeof(WideChar)) == 0;
}
