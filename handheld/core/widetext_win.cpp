// Case-insensitive comparison on Windows: the user's default locale decides.
#include "widetext.h"

#include <windows.h>

bool sameTextIgnoreCase(const WideChar* a, size_t aLen, const WideChar* b, size_t bLen) {
    if (aLen == 0 || bLen == 0)
        return aLen == bLen;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, (LPCWSTR)a, (int)aLen, (LPCWSTR)b,
                          (int)bLen) == CSTR_EQUAL;
}
