#include "radixsort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Entry {
    uint64_t by;
    uint32_t at;
};

} // namespace

// Values that share some of their bytes (as dates share their year), in
// lists of every length from none to a few hundred: the order must be the
// stable order of the values, whichever bytes are skipped.
TEST(RadixSort, GivesTheStableOrderOfTheValues) {
    uint32_t seed = 99;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (size_t count = 0; count < 400; count += 1 + count / 8) {
        uint64_t shared = (uint64_t)next() << 40 | (uint64_t)next() << 16;
        uint64_t varied = ~(uint64_t)0 >> (next() % 64); // the bytes that differ
        std::vector<Entry> entries(count), scratch(count);
        for (size_t i = 0; i < count; ++i) {
            uint64_t value = ((uint64_t)next() << 32 | next()) % (1 + next() % 50);
            entries[i] =
                Entry{(shared & ~varied) | (value * 0x0101010101010101u & varied), (uint32_t)i};
        }
        std::vector<Entry> expected(entries);
        std::stable_sort(expected.begin(), expected.end(),
                         [](const Entry& a, const Entry& b) { return a.by < b.by; });
        sortByValue(entries.data(), scratch.data(), count);
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(entries[i].at, expected[i].at) << "count " << count << " at " << i;
    }
}
