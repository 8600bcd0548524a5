#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "wide_to_utf8.h"

TEST(WideToUtf8, ConvertsEveryEncodingLengthAndCountsTheTerminator)
{
    char buffer[32];
    // 'A' (1 byte), U+00E9 (2), U+4E2D (3), U+1F600 as a surrogate pair (4).
    EXPECT_EQ(WideToUtf8(u"A\u00e9\u4e2d\U0001F600", buffer, sizeof buffer), 11);
    EXPECT_STREQ(buffer, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
}

TEST(WideToUtf8, NullOrEmptyGivesZeroAndAnEmptyBuffer)
{
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(WideToUtf8(nullptr, buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(WideToUtf8(u"", buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(WideToUtf8, TextThatDoesNotFitIsNotCut)
{
    char buffer[4];
    EXPECT_EQ(WideToUtf8(u"abc", buffer, sizeof buffer), 4);  // exactly fits with its terminator
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(WideToUtf8(u"abcd", buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(4, '\0'));
    EXPECT_EQ(WideToUtf8(u"a\u4e2d", buffer, sizeof buffer), 0);  // 1 + 3 bytes + terminator
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(WideToUtf8(u"a", buffer, 0), 0);
}

TEST(WideToUtf8, UnpairedSurrogatesBecomeReplacementCharacters)
{
    char buffer[16];
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    EXPECT_EQ(WideToUtf8(lone, buffer, sizeof buffer), 9);
    EXPECT_STREQ(buffer, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    const char16_t trailingHigh[] = {0xDBFF, 0};
    EXPECT_EQ(WideToUtf8(trailingHigh, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "\xEF\xBF\xBD");
}
