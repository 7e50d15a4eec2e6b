// Case-insensitive comparison on the development host: the text is decoded
// to code points and each is folded with the C library's Unicode tables
// (the C.UTF-8 locale), so "Élan" and "éLAN" are the same name.
#include "widetext.h"

#include <locale.h>
#include <wctype.h>

static locale_t unicodeLocale() {
    static locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", (locale_t)0);
    return locale;
}

static uint32_t nextCodePoint(const WideChar* text, size_t length, size_t* pos) {
    uint32_t c = text[(*pos)++];
    if (c >= 0xD800 && c <= 0xDBFF && *pos < length) {
        uint32_t low = text[*pos];
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++*pos;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return c;
}

static uint32_t fold(uint32_t c) {
    locale_t locale = unicodeLocale();
    if (locale == (locale_t)0)
        return (c < 128) ? (uint32_t)towlower((wint_t)c) : c;
    return (uint32_t)towlower_l(towupper_l((wint_t)c, locale), locale);
}

bool sameTextIgnoreCase(const WideChar* a, size_t aLen, const WideChar* b, size_t bLen) {
    size_t i = 0, j = 0;
    while (i < aLen && j < bLen) {
        if (fold(nextCodePoint(a, aLen, &i)) != fold(nextCodePoint(b, bLen, &j)))
            return false;
    }
    return i == aLen && j == bLen;
}

uint32_t hashIgnoreCase(const WideChar* text, size_t length) {
    uint32_t hash = kHashStart;
    size_t i = 0;
    while (i < length) {
        uint32_t c = fold(nextCodePoint(text, length, &i));
        hash = hashBytes(hash, &c, sizeof c);
    }
    return hash;
}
