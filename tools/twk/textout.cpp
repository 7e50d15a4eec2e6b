#include "textout.h"

#include <string.h>

void beginTextOut(TextOut* out, FILE* file) {
    out->file = file;
    out->used = 0;
    out->failed = 0;
}

static void drain(TextOut* out) {
    if (out->used && fwrite(out->buffer, 1, out->used, out->file) != out->used)
        out->failed = 1;
    out->used = 0;
}

int endTextOut(TextOut* out) {
    drain(out);
    if (fflush(out->file) != 0)
        out->failed = 1;
    return !out->failed;
}

void putBytes(TextOut* out, const char* bytes, size_t count) {
    while (count) {
        if (out->used == sizeof out->buffer)
            drain(out);
        size_t room = sizeof out->buffer - out->used;
        size_t n = count < room ? count : room;
        memcpy(out->buffer + out->used, bytes, n);
        out->used += n;
        bytes += n;
        count -= n;
    }
}

void putText(TextOut* out, const char* text) {
    putBytes(out, text, strlen(text));
}

void putCodePoint(TextOut* out, uint32_t c) {
    if (sizeof out->buffer - out->used < 4)
        drain(out);
    char* b = out->buffer + out->used;
    if (c < 0x80) {
        b[0] = (char)c;
        out->used += 1;
    } else if (c < 0x800) {
        b[0] = (char)(0xC0 | (c >> 6));
        b[1] = (char)(0x80 | (c & 0x3F));
        out->used += 2;
    } else if (c < 0x10000) {
        b[0] = (char)(0xE0 | (c >> 12));
        b[1] = (char)(0x80 | ((c >> 6) & 0x3F));
        b[2] = (char)(0x80 | (c & 0x3F));
        out->used += 3;
    } else {
        b[0] = (char)(0xF0 | (c >> 18));
        b[1] = (char)(0x80 | ((c >> 12) & 0x3F));
        b[2] = (char)(0x80 | ((c >> 6) & 0x3F));
        b[3] = (char)(0x80 | (c & 0x3F));
        out->used += 4;
    }
}

void putNumber(TextOut* out, long value) {
    char digits[24];
    int n = snprintf(digits, sizeof digits, "%ld", value);
    putBytes(out, digits, (size_t)n);
}

uint32_t nextCodePoint(const WideChar* text, size_t length, size_t* i, bool* lone) {
    uint32_t c = text[(*i)++];
    *lone = false;
    if (c >= 0xD800 && c <= 0xDBFF && *i < length && text[*i] >= 0xDC00 && text[*i] <= 0xDFFF)
        return 0x10000 + ((c - 0xD800) << 10) + (uint32_t)(text[(*i)++] - 0xDC00);
    *lone = c >= 0xD800 && c <= 0xDFFF;
    return c;
}
