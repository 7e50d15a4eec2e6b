// Case-insensitive comparison on Windows: the user's default locale decides.
#include "widetext.h"

#include <windows.h>

bool sameTextIgnoreCase(const WideChar* a, size_t aLen, const WideChar* b, size_t bLen) {
    if (aLen == 0 || bLen == 0)
        return aLen == bLen;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, (LPCWSTR)a, (int)aLen, (LPCWSTR)b,
                          (int)bLen) == CSTR_EQUAL;
}

// The sort key is what CompareStringW compares, so equal texts have equal
// keys, whatever the locale treats as one letter or ignores.
uint32_t hashIgnoreCase(const WideChar* text, size_t length) {
    if (length == 0)
        return kHashStart;
    BYTE key[1024];
    int bytes = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, (LPCWSTR)text,
                             (int)length, (LPWSTR)key, sizeof key);
    if (bytes <= 0)
        return kHashStart; // every such text in one chain: slow, never wrong
    return hashBytes(kHashStart, key, (size_t)bytes);
}
