#include "test_support.h"

#include "widetext.h"

#include <gtest/gtest.h>

static std::u16string nameAt(const CategoryList& c, int i) {
    return std::u16string(c.names[i], wideLength(c.names[i], kCategoryChars));
}

TEST(Categories, CaseDifferencesAddNothingOtherDifferencesAppend) {
    CategoryList c = {};
    EXPECT_EQ(addCategory(&c, u"Work"), 1);
    EXPECT_EQ(addCategory(&c, u"WORK"), 1);
    EXPECT_EQ(addCategory(&c, u"\u00C9cole"), 1); // É
    EXPECT_EQ(addCategory(&c, u"\u00E9COLE"), 1); // é: the same beyond ASCII
    EXPECT_EQ(addCategory(&c, u"Work "), 1);      // a trailing blank is a difference
    EXPECT_EQ(addCategory(&c, u"Home"), 1);
    ASSERT_EQ(c.count, 4);
    EXPECT_EQ(nameAt(c, 0), u"Work");
    EXPECT_EQ(nameAt(c, 1), u"\u00C9cole");
    EXPECT_EQ(nameAt(c, 2), u"Work ");
    EXPECT_EQ(nameAt(c, 3), u"Home");
    EXPECT_EQ(addCategory(&c, u""), 0);
    clearCategories(&c);
    EXPECT_EQ(c.count, 0);
    EXPECT_EQ(c.names, nullptr);
}

// Every user of the list reads its names as zero-terminated text.
TEST(Categories, AFullFieldWithoutTerminatorIsCutTo63Characters) {
    CategoryList c = {};
    WideChar field[kCategoryChars];
    for (int i = 0; i < kCategoryChars; ++i)
        field[i] = u'k';
    ASSERT_EQ(addCategory(&c, field), 1);
    ASSERT_EQ(c.count, 1);
    EXPECT_EQ(c.names[0][kCategoryChars - 1], 0);
    EXPECT_EQ(nameAt(c, 0), std::u16string(kCategoryChars - 1, u'k'));
    EXPECT_EQ(addCategory(&c, field), 1);
    field[kCategoryChars - 1] = 0; // the same 63 characters
    EXPECT_EQ(addCategory(&c, field), 1);
    EXPECT_EQ(c.count, 1);
    // A cut never leaves half of a surrogate pair.
    field[kCategoryChars - 2] = 0xD83D;
    field[kCategoryChars - 1] = 0xDE00;
    ASSERT_EQ(addCategory(&c, field), 1);
    ASSERT_EQ(c.count, 2);
    EXPECT_EQ(nameAt(c, 1), std::u16string(kCategoryChars - 2, u'k'));
    clearCategories(&c);
}

TEST(Categories, AllocationFailureLeavesTheListUnchanged) {
    CategoryList c = {};
    ASSERT_EQ(addCategory(&c, u"First"), 1);
    // Fill the list to its room, so that the next name must grow it.
    for (int i = 1; i < c.capacity; ++i)
        ASSERT_EQ(addCategory(&c, (u"Filler" + std::u16string(1, (char16_t)(u'a' + i))).c_str()),
                  1);
    int32_t full = c.count;
    WideChar** before = c.names;
    for (long failAt = 0; failAt < 4; ++failAt) {
        FailingAllocator failing(failAt); // the name copy, then each grown array
        EXPECT_EQ(addCategory(&c, u"Second"), 0);
        EXPECT_EQ(c.count, full);
        EXPECT_EQ(c.names, before);
    }
    EXPECT_EQ(addCategory(&c, u"first"), 1);
    EXPECT_EQ(c.count, full);
    clearCategories(&c);
}

// Many names, each met again in other letter cases: the list keeps the first
// spelling of each once, in the order met, however large it grows.
TEST(Categories, ManyNamesInEveryCaseAreEachKeptOnce) {
    CategoryList c = {};
    const int kNames = 5000;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < kNames; ++i) {
            std::u16string name = u"cat" + std::u16string(1, (char16_t)(u'a' + i % 26));
            for (int n = i; n > 0; n /= 10)
                name += (char16_t)(u'0' + n % 10);
            if (round == 1)
                for (char16_t& ch : name)
                    ch = ch >= u'a' && ch <= u'z' ? (char16_t)(ch - 32) : ch;
            ASSERT_EQ(addCategory(&c, name.c_str()), 1);
        }
    ASSERT_EQ(c.count, kNames);
    EXPECT_EQ(nameAt(c, kNames - 1).substr(0, 3), u"cat");
    clearCategories(&c);
}
