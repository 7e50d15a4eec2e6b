// The UTF-8 check that stands in front of XML readers which do not check.
#include "utf8check.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

// Feeds the text as a reader's stream does: the first bytes whole, then in
// pieces of the given size, then the empty end.
static int check(const std::string& text, size_t piece) {
    Utf8Check c;
    memset(&c, 0, sizeof c);
    for (size_t at = 0; at < text.size();) {
        size_t want = at == 0 ? (size_t)kUtf8HeadBytes : piece;
        size_t n = text.size() - at < want ? text.size() - at : want;
        if (!checkUtf8(&c, (const uint8_t*)text.data() + at, n))
            return 0;
        at += n;
    }
    return checkUtf8(&c, nullptr, 0);
}

TEST(Utf8Check, AcceptsWellFormedTextHoweverItIsCut) {
    std::string text = std::string(300, ' ') +
                       "<opml>caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x8C\xB3 \xF4\x8F\xBF\xBF</opml>";
    for (size_t piece : {1u, 2u, 3u, 7u, 1000u})
        EXPECT_EQ(check(text, piece), 1) << piece;
}

TEST(Utf8Check, RefusesMalformedSequences) {
    const char* bad[] = {
        "\x80",             // a continuation byte alone
        "\xC0\x80",         // overlong
        "\xE0\x80\xAF",     // overlong
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // above U+10FFFF
        "\xF5\x80\x80\x80", // no such lead byte
        "\xFF",             //
        "\xE2\x82",         // cut off at the end
        "\xC3\x28",         // a lead byte without its continuation
    };
    for (const char* b : bad)
        for (size_t piece : {1u, 1000u})
            for (size_t before : {3u, 300u}) // in the first bytes, or after them
                EXPECT_EQ(check(std::string(before, ' ') + b, piece), 0) << b << " " << piece;
    // Once refused, always refused.
    Utf8Check c;
    memset(&c, 0, sizeof c);
    EXPECT_EQ(checkUtf8(&c, (const uint8_t*)"\xFF", 1), 0);
    EXPECT_EQ(checkUtf8(&c, (const uint8_t*)"a", 1), 0);
}

TEST(Utf8Check, OnlyDocumentsThatAreUtf8AreChecked) {
    auto declares = [](const std::string& head) {
        return declaresUtf8((const uint8_t*)head.data(), head.size());
    };
    EXPECT_TRUE(declares("<opml/>"));
    EXPECT_TRUE(declares("<?xml version=\"1.0\"?><opml/>"));
    EXPECT_TRUE(declares("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(declares("<?xml version='1.0' encoding = 'utf-8'?>"));
    EXPECT_FALSE(declares("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"));
    EXPECT_FALSE(declares(std::string("\xFF\xFE<\0", 4)));
    EXPECT_FALSE(declares(std::string("<\0?\0", 4)));
    // Latin-1 bytes pass where Latin-1 is declared.
    EXPECT_EQ(check("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xE9</a>", 5), 1);
}
