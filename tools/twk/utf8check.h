// Some XML readers (Wine's XmlLite among them) turn malformed UTF-8 into
// replacement characters instead of failing. A document that is UTF-8 (no
// UTF-16 byte order mark, no other encoding declared) is therefore checked
// on its way into such a reader, so that the same bytes are refused on every
// platform.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The bytes in which an XML declaration must name its encoding.
enum { kUtf8HeadBytes = 256 };

struct Utf8Check {
    int decided;       // 1 once the first piece has shown the encoding
    int active;        // the document is UTF-8 and is being checked
    int need;          // continuation bytes still expected
    uint8_t low, high; // allowed range of the next continuation byte
    int failed;
};

// Whether a document starting with these bytes is UTF-8: no UTF-16 mark and
// an XML declaration, if any, that names no encoding or names UTF-8.
bool declaresUtf8(const uint8_t* head, size_t length);

// Checks the next bytes of a document read in pieces, starting from a
// zero-filled check. The first piece decides whether the document is UTF-8,
// so it must hold the first kUtf8HeadBytes bytes, or the whole document when it
// is shorter. An empty piece is the end, where no sequence may be left open.
// 0 when the text is not valid UTF-8 (and from then on).
int checkUtf8(Utf8Check* check, const uint8_t* bytes, size_t count);
