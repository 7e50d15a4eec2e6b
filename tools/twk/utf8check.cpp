#include "utf8check.h"

#include <string.h>

static bool asciiEqualNoCase(const uint8_t* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint8_t c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = (uint8_t)(c - 'A' + 'a');
        if (c != (uint8_t)b[i])
            return false;
    }
    return true;
}

bool declaresUtf8(const uint8_t* head, size_t length) {
    if (length >= 2 &&
        ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return false;
    if (length >= 2 && (head[0] == 0 || head[1] == 0))
        return false; // UTF-16 without a mark
    size_t start = length >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF ? 3 : 0;
    if (length - start < 5 || memcmp(head + start, "<?xml", 5) != 0)
        return true;
    for (size_t i = start; i + 8 < length && !(head[i] == '?' && head[i + 1] == '>'); ++i) {
        if (memcmp(head + i, "encoding", 8) != 0)
            continue;
        size_t j = i + 8;
        while (j < length &&
               (head[j] == ' ' || head[j] == '=' || head[j] == '"' || head[j] == '\''))
            ++j;
        return length - j >= 5 && asciiEqualNoCase(head + j, "utf-8", 5);
    }
    return true;
}

static bool checkBytes(Utf8Check* check, const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        uint8_t c = bytes[i];
        if (check->need) {
            if (c < check->low || c > check->high)
                return false;
            --check->need;
            check->low = 0x80;
            check->high = 0xBF;
            continue;
        }
        if (c < 0x80)
            continue;
        check->low = 0x80;
        check->high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            check->need = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            check->need = 2;
            if (c == 0xE0)
                check->low = 0xA0; // no overlong forms
            if (c == 0xED)
                check->high = 0x9F; // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            check->need = 3;
            if (c == 0xF0)
                check->low = 0x90;
            if (c == 0xF4)
                check->high = 0x8F; // nothing above U+10FFFF
        } else {
            return false;
        }
    }
    return true;
}

int checkUtf8(Utf8Check* check, const uint8_t* bytes, size_t count) {
    if (check->failed)
        return 0;
    if (!check->decided) {
        check->decided = 1;
        check->active =
            declaresUtf8(bytes, count < (size_t)kUtf8HeadBytes ? count : (size_t)kUtf8HeadBytes);
    }
    if (check->active && (!checkBytes(check, bytes, count) || (count == 0 && check->need))) {
        check->failed = 1;
        return 0;
    }
    return 1;
}
