#include "utf8out.h"

static void putCodePoint(FILE* out, uint32_t c) {
    char b[4];
    int n;
    if (c < 0x80) {
        b[0] = (char)c;
        n = 1;
    } else if (c < 0x800) {
        b[0] = (char)(0xC0 | (c >> 6));
        b[1] = (char)(0x80 | (c & 0x3F));
        n = 2;
    } else if (c < 0x10000) {
        b[0] = (char)(0xE0 | (c >> 12));
        b[1] = (char)(0x80 | ((c >> 6) & 0x3F));
        b[2] = (char)(0x80 | (c & 0x3F));
        n = 3;
    } else {
        b[0] = (char)(0xF0 | (c >> 18));
        b[1] = (char)(0x80 | ((c >> 12) & 0x3F));
        b[2] = (char)(0x80 | ((c >> 6) & 0x3F));
        b[3] = (char)(0x80 | (c & 0x3F));
        n = 4;
    }
    fwrite(b, 1, (size_t)n, out);
}

// The code point at text[*i], advancing *i; a lone surrogate comes back as
// itself with *lone set.
static uint32_t decode(const WideChar* text, size_t length, size_t* i, bool* lone) {
    uint32_t c = text[(*i)++];
    *lone = false;
    if (c >= 0xD800 && c <= 0xDBFF && *i < length && text[*i] >= 0xDC00 && text[*i] <= 0xDFFF)
        return 0x10000 + ((c - 0xD800) << 10) + (uint32_t)(text[(*i)++] - 0xDC00);
    *lone = c >= 0xD800 && c <= 0xDFFF;
    return c;
}

void putUtf8(FILE* out, const WideChar* text, size_t length) {
    for (size_t i = 0; i < length;) {
        bool lone;
        uint32_t c = decode(text, length, &i, &lone);
        putCodePoint(out, lone ? 0xFFFD : c);
    }
}

void putJsonString(FILE* out, const WideChar* text, size_t length) {
    fputc('"', out);
    for (size_t i = 0; i < length;) {
        bool lone;
        uint32_t c = decode(text, length, &i, &lone);
        switch (c) {
        case '"':
            fputs("\\\"", out);
            break;
        case '\\':
            fputs("\\\\", out);
            break;
        case '\n':
            fputs("\\n", out);
            break;
        case '\r':
            fputs("\\r", out);
            break;
        case '\t':
            fputs("\\t", out);
            break;
        default:
            if (c < 0x20 || lone)
                fprintf(out, "\\u%04x", (unsigned)c);
            else
                putCodePoint(out, c);
        }
    }
    fputc('"', out);
}
