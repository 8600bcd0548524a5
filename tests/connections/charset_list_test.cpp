#include <gtest/gtest.h>

#include <cstring>

#include "charset_list.h"

namespace {
bool Names(const char* list) { return CharsetListNamesUtf8(list, std::strlen(list) + 1); }
}  // namespace

TEST(CharsetList, Utf8IsFoundAsAWholeTokenInAnyCase)
{
    EXPECT_TRUE(Names("UTF-8"));
    EXPECT_TRUE(Names("GB2312,utf-8"));
    EXPECT_TRUE(Names("gbk utf-8\tbig5"));
    EXPECT_TRUE(Names("ascii\nUtf-8\n"));
    EXPECT_TRUE(Names(",,UTF-8,,"));
}

TEST(CharsetList, OtherSpellingsAndEmptyListsDoNotCount)
{
    EXPECT_FALSE(Names(""));
    EXPECT_FALSE(Names("GB2312,UTF8"));
    EXPECT_FALSE(Names("UTF-8X"));
    EXPECT_FALSE(Names("UTF-16;UTF-8"));  // ';' is no separator
    EXPECT_FALSE(Names("UTF-8\r"));       // nor is CR
    EXPECT_FALSE(CharsetListNamesUtf8(nullptr, 10));
}

TEST(CharsetList, AnUnterminatedFieldIsReadOnlyToItsSize)
{
    char field[8];
    std::memcpy(field, "A,UTF-8X", 8);  // no terminator inside the field
    EXPECT_FALSE(CharsetListNamesUtf8(field, sizeof field));
    std::memcpy(field, "AB,UTF-8", 8);
    EXPECT_TRUE(CharsetListNamesUtf8(field, sizeof field));
}
