#include "test_support.h"

#include "widetext.h"

#include <gtest/gtest.h>

static std::u16string nameAt(const CategoryList& c, int i) {
    return std::u16string(c.names[i], wideLength(c.names[i], kCategoryChars));
}

TEST(Categories, CaseDifferencesAddNothingOtherDifferencesAppend) {
    CategoryList c = {0, nullptr};
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
    CategoryList c = {0, nullptr};
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
    CategoryList c = {0, nullptr};
    ASSERT_EQ(addCategory(&c, u"First"), 1);
    WideChar** before = c.names;
    for (long failAt = 0; failAt < 2; ++failAt) {
        FailingAllocator failing(failAt); // the name copy, then the grown array
        EXPECT_EQ(addCategory(&c, u"Second"), 0);
        EXPECT_EQ(c.count, 1);
        EXPECT_EQ(c.names, before);
    }
    clearCategories(&c);
}
