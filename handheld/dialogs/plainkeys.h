// Sort keys of plain texts (ASCII letters, digits and spaces only) made
// without asking the locale. The locale takes about as long to make one
// name's key as a sort of that name's siblings takes per item, and in
// the locales seen, a plain text's key is its characters' own weights one
// after another and then the same closing bytes. Whether that holds here
// is found out once, from the locale itself: every character alone, every
// pair (which reveals letters that sort together as one) and a sample of
// longer texts must give exactly the keys the locale gives. Where anything
// differs, every key is the locale's as before.
#pragma once

#include <windows.h>

// The keys every sort compares: the locale's order, ignoring case.
const DWORD kSortKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE;

// The locale makes the first keys of a run; plain keys are made here from
// then on.
enum { kKeysBeforePlain = 1024 };

// The locale's key of text (count characters, or -1 up to its zero), made
// here: the bytes made into out (room bytes), or 0 when the text is not
// plain, is empty, needs more room, the program has not yet asked for
// kKeysBeforePlain keys, or the locale's keys are not made of the
// characters' weights.
int plainSortKey(const WCHAR* text, int count, BYTE* out, int room);
