// Bounded helpers for the fixed, zero-terminated UTF-16 fields of the model.
// A field read from a file may lack its terminating zero; every helper here
// stops at the field's end, so such a field is never read past.
#pragma once

#include "notetypes.h"

// Characters before the first zero, at most cap.
size_t wideLength(const WideChar* text, size_t cap);

// Copies text (zero-terminated, or at most srcCap characters) into a field of
// fieldChars characters, cut to fieldChars - 1 and always zero-terminated.
// A cut never leaves the first half of a surrogate pair at the end.
void copyWideField(WideChar* field, size_t fieldChars, const WideChar* text, size_t srcCap);

// Copies ASCII text into a field, as above.
void copyAsciiField(WideChar* field, size_t fieldChars, const char* text);

// Exactly equal up to their ends (zero or cap).
bool sameWideText(const WideChar* a, size_t aCap, const WideChar* b, size_t bCap);

// Equal for the user: locale-aware and ignoring letter case. Implemented
// per platform.
bool sameTextIgnoreCase(const WideChar* a, size_t aLen, const WideChar* b, size_t bLen);

// A hash that texts equal for sameTextIgnoreCase share. Implemented per
// platform, by the same rules.
uint32_t hashIgnoreCase(const WideChar* text, size_t length);

// The FNV-1a step both platforms build that hash from.
inline uint32_t hashBytes(uint32_t hash, const void* data, size_t bytes) {
    const unsigned char* p = (const unsigned char*)data;
    for (size_t i = 0; i < bytes; ++i)
        hash = (hash ^ p[i]) * 16777619u;
    return hash;
}
enum : uint32_t { kHashStart = 2166136261u };
