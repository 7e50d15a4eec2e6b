#include "plainkeys.h"

#include <stdint.h>
#include <string.h>

namespace {

enum {
    kPlainRange = 128, // the plain characters are all below this
    kWeightRoom = 8,   // bytes of one character's weights
    kClosingRoom = 16, // bytes that close every key
    kKeyRoom = 64,     // a key of one or two characters while learning
    kSampleTexts = 48,
    kSampleLength = 40
};

// What the locale's keys are made of, learned once per locale.
struct PlainWeights {
    bool learned;
    LCID locale;
    bool usable;
    BYTE weight[kPlainRange][kWeightRoom];
    int weightLength[kPlainRange]; // 0 for a character that is not plain
    BYTE closing[kClosingRoom];
    int closingLength;
};

} // namespace

static PlainWeights gWeights;
static uint32_t gAsked;

static const char kPlainCharacters[] = "abcdefghijklmnopqrstuvwxyz"
                                       "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                       "0123456789 ";

static int localeKey(const WCHAR* text, int count, BYTE* out, int room) {
    return LCMapStringW(LOCALE_USER_DEFAULT, kSortKeyFlags, text, count, (LPWSTR)out, room);
}

// The characters' weights one after another, then the closing bytes; 0
// when a character is not plain or room runs out.
static int composeKey(const WCHAR* text, int length, BYTE* out, int room) {
    int made = 0;
    bool roomy = length <= (room - gWeights.closingLength) / kWeightRoom;
    for (int i = 0; i < length; ++i) {
        unsigned c = text[i];
        int bytes = c < kPlainRange ? gWeights.weightLength[c] : 0;
        if (!bytes || (!roomy && made + bytes > room))
            return 0;
        // Nearly every character weighs two bytes: no call for them.
        const BYTE* weight = gWeights.weight[c];
        if (bytes == 2) {
            out[made] = weight[0];
            out[made + 1] = weight[1];
        } else {
            memcpy(out + made, weight, (size_t)bytes);
        }
        made += bytes;
    }
    if (made + gWeights.closingLength > room)
        return 0;
    memcpy(out + made, gWeights.closing, (size_t)gWeights.closingLength);
    return made + gWeights.closingLength;
}

static bool composesAsTheLocale(const WCHAR* text, int length) {
    BYTE made[kSampleLength * kWeightRoom + kClosingRoom];
    BYTE locale[sizeof made];
    int composed = composeKey(text, length, made, (int)sizeof made);
    int given = localeKey(text, length, locale, (int)sizeof locale);
    return composed > 0 && composed == given && memcmp(made, locale, (size_t)composed) == 0;
}

// Each plain character's key alone: its weights and the bytes that close
// every key, which all the keys end with.
static bool learnSingles() {
    static BYTE keys[kPlainRange][kKeyRoom];
    int lengths[kPlainRange] = {};
    int closing = -1, firstLength = 0;
    const BYTE* first = nullptr;
    for (const char* p = kPlainCharacters; *p; ++p) {
        unsigned c = (unsigned char)*p;
        WCHAR text = (WCHAR)c;
        lengths[c] = localeKey(&text, 1, keys[c], kKeyRoom);
        if (lengths[c] <= 0)
            return false;
        if (!first) {
            first = keys[c];
            firstLength = closing = lengths[c];
            continue;
        }
        int shared = 0;
        while (shared < closing && shared < lengths[c] &&
               keys[c][lengths[c] - 1 - shared] == first[firstLength - 1 - shared])
            ++shared;
        closing = shared;
    }
    if (closing < 1 || closing > kClosingRoom)
        return false;
    for (const char* p = kPlainCharacters; *p; ++p) {
        unsigned c = (unsigned char)*p;
        int bytes = lengths[c] - closing;
        if (bytes < 1 || bytes > kWeightRoom)
            return false; // a character the locale ignores, or a long one
        memcpy(gWeights.weight[c], keys[c], (size_t)bytes);
        gWeights.weightLength[c] = bytes;
    }
    memcpy(gWeights.closing, first + firstLength - closing, (size_t)closing);
    gWeights.closingLength = closing;
    return true;
}

// Every pair, and longer texts of every length up to kSampleLength.
static bool learnedKeysHold() {
    const int count = (int)sizeof kPlainCharacters - 1;
    for (int a = 0; a < count; ++a)
        for (int b = 0; b < count; ++b) {
            WCHAR pair[2] = {(WCHAR)kPlainCharacters[a], (WCHAR)kPlainCharacters[b]};
            if (!composesAsTheLocale(pair, 2))
                return false;
        }
    uint32_t seed = 2463534242u;
    for (int sample = 0; sample < kSampleTexts; ++sample) {
        WCHAR text[kSampleLength];
        int length = 3 + sample % (kSampleLength - 2);
        for (int i = 0; i < length; ++i) {
            seed ^= seed << 13;
            seed ^= seed >> 17;
            seed ^= seed << 5;
            text[i] = (WCHAR)kPlainCharacters[seed % (uint32_t)count];
        }
        if (!composesAsTheLocale(text, length))
            return false;
    }
    return true;
}

static bool plainKeysUsable() {
    LCID locale = GetUserDefaultLCID();
    if (!gWeights.learned || gWeights.locale != locale) {
        // Learning asks the locale for about four thousand keys: a
        // program that sorts a few names never pays for it.
        if (gAsked < kKeysBeforePlain) {
            ++gAsked;
            return false;
        }
        memset(&gWeights, 0, sizeof gWeights);
        gWeights.learned = true;
        gWeights.locale = locale;
        gWeights.usable = learnSingles() && learnedKeysHold();
    }
    return gWeights.usable;
}

int plainSortKey(const WCHAR* text, int count, BYTE* out, int room) {
    int length = count;
    if (count < 0)
        for (length = 0; text[length];)
            ++length;
    if (length <= 0 || !plainKeysUsable())
        return 0;
    return composeKey(text, length, out, room);
}
