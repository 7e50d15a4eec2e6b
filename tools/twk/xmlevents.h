// A small event interface over the platform's XML reader: Expat on the host,
// XmlLite on Windows. Both are streaming and non-recursive, so a document
// nested a million deep costs heap, never stack. Both refuse a DOCTYPE: no
// DTD is processed, no external entity is fetched and only the five
// predefined entities and character references are expanded.
//
// All text reaches the handler as UTF-16, the model's text.
#pragma once

#include "notetypes.h"

struct XmlAttribute {
    const WideChar* name;
    size_t nameLength;
    const WideChar* value;
    size_t valueLength;
};

// Each call returns 1 to go on or 0 to stop; stopping counts as a failed
// parse whose reason the handler has already written into the problem.
struct XmlHandler {
    void* context;
    int (*startElement)(void* context, const WideChar* name, size_t nameLength,
                        const XmlAttribute* attributes, size_t attributeCount);
    int (*endElement)(void* context);
    int (*characters)(void* context, const WideChar* text, size_t length);
};

// Where the bytes come from: read returns the bytes read, 0 at the end or -1
// on an error.
struct XmlSource {
    void* context;
    long (*read)(void* context, void* buffer, size_t bytes);
};

struct XmlProblem {
    char reason[200]; // one line, empty when the parse succeeded
    long line;        // 0 when unknown
    long column;
};

// 1 when the whole document was read and well formed, 0 otherwise.
int parseXml(const XmlSource* source, const XmlHandler* handler, XmlProblem* problem);

void setXmlProblem(XmlProblem* problem, const char* reason);

// A growable UTF-16 buffer for the backends, which must copy what the
// parser hands them before they call the handler.
struct WideBuffer {
    WideChar* data;
    size_t length;
    size_t capacity;
};
// 0 when memory is short (the buffer is then unchanged).
int appendWide(WideBuffer* buffer, const WideChar* text, size_t length);
// Appends UTF-8 that the parser has already checked.
int appendUtf8(WideBuffer* buffer, const char* text, size_t bytes);
void freeWideBuffer(WideBuffer* buffer);

// Bytes in memory as a source.
struct MemoryBytes {
    const void* data;
    size_t size;
    size_t offset;
};
long readMemoryBytes(void* context, void* buffer, size_t bytes);

// Whether the platform's reader keeps line breaks written as character
// references in attribute values, as XML requires. Wine's XmlLite turns them
// into spaces; twk then warns that notes lose their line breaks.
int xmlKeepsLineBreaks();
