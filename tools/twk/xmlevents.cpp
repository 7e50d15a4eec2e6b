#include "xmlevents.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void setXmlProblem(XmlProblem* problem, const char* reason) {
    snprintf(problem->reason, sizeof problem->reason, "%s", reason);
}

static int reserveWide(WideBuffer* buffer, size_t more) {
    if (more <= buffer->capacity - buffer->length)
        return 1;
    if (more > (SIZE_MAX / sizeof(WideChar)) / 2 - buffer->length)
        return 0;
    size_t capacity = buffer->capacity ? buffer->capacity : 256;
    while (capacity - buffer->length < more)
        capacity *= 2;
    WideChar* data = (WideChar*)realloc(buffer->data, capacity * sizeof(WideChar));
    if (!data)
        return 0;
    buffer->data = data;
    buffer->capacity = capacity;
    return 1;
}

int appendWide(WideBuffer* buffer, const WideChar* text, size_t length) {
    if (!reserveWide(buffer, length))
        return 0;
    memcpy(buffer->data + buffer->length, text, length * sizeof(WideChar));
    buffer->length += length;
    return 1;
}

int appendUtf8(WideBuffer* buffer, const char* text, size_t bytes) {
    // UTF-16 never needs more units than UTF-8 has bytes.
    if (!reserveWide(buffer, bytes))
        return 0;
    const unsigned char* s = (const unsigned char*)text;
    WideChar* out = buffer->data + buffer->length;
    size_t i = 0;
    while (i < bytes) {
        uint32_t c = s[i];
        size_t extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        if (extra)
            c &= 0x3F >> extra;
        if (i + extra >= bytes)
            extra = bytes - i - 1; // cannot happen after the parser's check
        for (size_t k = 1; k <= extra; ++k)
            c = (c << 6) | (s[i + k] & 0x3F);
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            *out++ = (WideChar)(0xD800 + (c >> 10));
            *out++ = (WideChar)(0xDC00 + (c & 0x3FF));
        } else {
            *out++ = (WideChar)c;
        }
    }
    buffer->length = (size_t)(out - buffer->data);
    return 1;
}

void freeWideBuffer(WideBuffer* buffer) {
    free(buffer->data);
    memset(buffer, 0, sizeof *buffer);
}

long readMemoryBytes(void* context, void* buffer, size_t bytes) {
    MemoryBytes* source = (MemoryBytes*)context;
    size_t left = source->size - source->offset;
    size_t n = bytes < left ? bytes : left;
    if (n > (size_t)LONG_MAX)
        n = (size_t)LONG_MAX;
    memcpy(buffer, (const char*)source->data + source->offset, n);
    source->offset += n;
    return (long)n;
}

static int probeStart(void* context, const WideChar*, size_t, const XmlAttribute* attributes,
                      size_t count) {
    static const WideChar expected[] = {'x', '\r', '\n', 'y'};
    *(int*)context = count == 1 && attributes[0].valueLength == 4 &&
                     memcmp(attributes[0].value, expected, sizeof expected) == 0;
    return 1;
}

static int probeOther(void*) {
    return 1;
}

static int probeText(void*, const WideChar*, size_t) {
    return 1;
}

int xmlKeepsLineBreaks() {
    static const char document[] = "<a b=\"x&#13;&#10;y\"/>";
    static int known = -1;
    if (known == -1) {
        int keeps = 0;
        MemoryBytes bytes = {document, sizeof document - 1, 0};
        XmlSource source = {&bytes, readMemoryBytes};
        XmlHandler handler = {&keeps, probeStart, probeOther, probeText};
        XmlProblem problem;
        known = parseXml(&source, &handler, &problem) && keeps;
    }
    return known;
}
