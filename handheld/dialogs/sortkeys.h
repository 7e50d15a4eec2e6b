// The locale's sort keys of item texts, made once per item for one sort.
// Comparing two keys byte by byte orders the texts as the locale-aware
// comparison that ignores case does, so a sort of n siblings asks the
// locale at most n times instead of n log n times, and only once for each
// distinct text (siblings often share a category).
#pragma once

#include "notetypes.h"

#include <windows.h>

// Where one item's (or one text's) key lies in the cache's bytes, and its
// first eight bytes as one number (the key's end padded with zeros): two
// keys whose numbers differ order as the numbers do, so most comparisons
// never read the bytes.
struct SortKeySlot {
    const NoteItem* item; // null = free
    uint32_t offset, length;
    int32_t rank; // -1 until rankSortKeys ranked the key
    uint64_t head;
};

// Two tables by open addressing, each with a power-of-two number of slots:
// one by item address, one by the exact characters of the text, naming the
// first item met with it.
struct SortKeyTable {
    SortKeySlot* slots;
    size_t count, used;
};

struct SortKeyCache {
    SortKeyTable items, texts;
    BYTE* bytes;
    size_t bytesUsed, bytesRoom;
    int field;   // which text: kArrangeByName or kArrangeByCategory
    bool broken; // memory ran short: callers compare the texts directly
};

void initSortKeys(SortKeyCache* cache, int field);
void freeSortKeys(SortKeyCache* cache);

// An item's address as the start of a search in a table by address: items
// lie a record apart, so the address's low bits repeat and are mixed with
// the high ones before a table's mask.
uint32_t hashItemAddress(const NoteItem* item);

// -1, 0 or +1 as a's text orders before, with or after b's; 0 and
// cache->broken set when a key could not be made.
int compareSortKeys(SortKeyCache* cache, const NoteItem* a, const NoteItem* b);

// Eight bytes of a key from byte from on as one number, the key's end
// padded with zeros: two keys whose numbers differ order as the numbers do.
uint64_t sortKeyWord(const BYTE* key, size_t length, size_t from);

// Two keys byte by byte, a key that is the start of another first:
// negative, 0 or positive as a orders before, with or after b.
int compareSortKeyBytes(const BYTE* a, size_t aBytes, const BYTE* b, size_t bBytes);

// Ranks every key made so far after making those of the count items:
// equal keys share a rank, a lower rank orders first, and from then on two
// ranked items compare by rank alone, without reading their keys. 0 when a
// key could not be made (nothing is ranked then).
int rankSortKeys(SortKeyCache* cache, const NoteItem* const* items, size_t count);

// The same ranking from the texts alone, the items' own slots left as they
// are: ranks[i] is the rank of items[i]'s key. Cheaper when the caller
// keeps the items' ranks itself. 0 when a key could not be made.
int rankSortKeyTexts(SortKeyCache* cache, const NoteItem* const* items, size_t count,
                     uint32_t* ranks);
// One item's key for a long sort where nearly every item has a text of
// its own (names), which ranking would have to sort first: where the whole
// key lies in the cache's bytes, and its bytes from kChildKeyBeyond on as
// one number (the end padded with zeros). The sort's own entries carry the
// bytes before (childKeyWord); together they decide nearly every
// comparison without the bytes, and the key stays small, since a long
// sort keeps one for every child.
enum { kChildKeyBeyond = 12 };

struct ChildKey {
    uint64_t beyond;
    uint32_t offset, length;
};

// Makes item's key at the end of the cache's bytes, without looking for
// its text among those made; 0 when it could not be made.
int makeChildKey(SortKeyCache* cache, const NoteItem* item, ChildKey* key);
// Eight bytes of key from byte from on as one number (sortKeyWord).
uint64_t childKeyWord(const SortKeyCache* cache, const ChildKey& key, size_t from);
// -1, 0 or +1 as a's text orders before, with or after b's.
int compareChildKeys(const SortKeyCache* cache, const ChildKey& a, const ChildKey& b);

// The same key for a long sort, which keeps one for every child: only its
// bytes from kChildKeyTail on stay in the cache's bytes (from offset, the
// length less kChildKeyTail of them), since the twelve in the sort's entry
// (head and then) and beyond hold those before. Most names end before it,
// so a child's key takes a few bytes where the whole key would take
// thirty.
enum { kChildKeyTail = kChildKeyBeyond + 8 };

int makeTailedChildKey(SortKeyCache* cache, const NoteItem* item, ChildKey* key, uint64_t* head,
                       uint32_t* then);
// Two tailed keys whose first kChildKeyTail bytes are the same (equal head,
// then and beyond, the ends padded with zeros): -1, 0 or +1 as a's text
// orders before, with or after b's.
int compareChildKeyTails(const SortKeyCache* cache, const ChildKey& a, const ChildKey& b);

// Room the key of item's name takes in the common case: two bytes a
// character, as nearly every one weighs, and a few that close it. For a
// block made once for many keys; a longer key still grows it.
size_t nameKeyRoom(const NoteItem* item);

// Drops the bytes of every key but key's, which move to the start: a walk
// that compares neighbours holds two keys at a time, not all it made. Does
// nothing while the cache's tables hold keys, whose places would go stale.
void keepOnlyChildKey(SortKeyCache* cache, ChildKey* key);

// Room for bytes more key bytes in one block, so that a caller who knows
// how many keys it will make spares the block's growth, each step of which
// copies it into fresh memory; 0 when memory ran short.
int reserveSortKeyBytes(SortKeyCache* cache, size_t bytes);

// Room that holds the key of any text of up to a name's length in the
// locales seen; a longer key is still made, with a second call.
enum { kSortKeyRoom = 1024 };

// The locale's key, ignoring case, of text (count characters, or -1 up to
// its zero) into out, which has room bytes: the bytes made; 0 when it takes
// more room, with *need set to how much; 0 with *need 0 when no key is
// made. One call to the locale in the common case, where asking for the
// size first would cost a second one.
int mapSortKey(const WCHAR* text, int count, BYTE* out, int room, int* need);
