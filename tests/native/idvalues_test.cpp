#include "idvalues.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

// Identifiers counted up, or scattered as a damaged file has them, set and
// read in any order: the table the bound chooses answers as a map would,
// a direct one has no room at or beyond its bound, and reading an
// identifier never set leaves it unset.
TEST(IdValues, AnswerAsAMapInEitherForm) {
    std::mt19937 random(5);
    for (int round = 0; round < 200; ++round) {
        size_t count = 1 + random() % 300;
        bool scattered = round % 2 == 1;
        uint32_t highest = scattered ? 0xFFFFFFF0u : (uint32_t)count + random() % 8;
        uint32_t bound = directIdBound(highest, count);
        ASSERT_EQ(bound == 0, scattered);
        IdValues table;
        ASSERT_EQ(initIdValues(&table, bound, count), 1);
        std::map<uint32_t, int32_t> expected;
        for (size_t step = 0; step < count; ++step) {
            uint32_t id = (uint32_t)(random() % ((uint64_t)highest + 1));
            if (random() % 3 == 0) {
                EXPECT_EQ(findIdValue(&table, id), expected.count(id) ? expected[id] : -1);
                continue;
            }
            int32_t* value = idValue(&table, id);
            ASSERT_NE(value, nullptr);
            *value = (int32_t)step;
            expected[id] = (int32_t)step;
        }
        for (const auto& set : expected)
            EXPECT_EQ(findIdValue(&table, set.first), set.second);
        if (bound)
            EXPECT_EQ(idValue(&table, bound), nullptr);
        freeIdValues(&table);
    }
}
