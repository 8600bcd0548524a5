#include <gtest/gtest.h>

#include <string>
#include "text_arguments.h"

namespace {

TEST(TextBuffer, TakesTextsUpToOneLessThanItsSize)
{
    TextBuffer<kAddressTextSize> address;
    const std::string longest(31, '1');
    EXPECT_TRUE(address.Assign(longest));
    EXPECT_EQ(longest, address.c_str());

    TextBuffer<kPuIdTextSize> puId;
    EXPECT_TRUE(puId.Assign(std::string(32, 'x')));
    EXPECT_EQ(32u, std::string(puId.c_str()).size());
}

TEST(TextBuffer, RefusesTextsThatWouldBeCutAndLeavesItEmpty)
{
    TextBuffer<kAddressTextSize> address;
    ASSERT_TRUE(address.Assign("192.168.1.10"));
    EXPECT_FALSE(address.Assign(std::string(32, '1')));
    EXPECT_STREQ("", address.c_str());

    TextBuffer<kDeviceNameSize> name;
    EXPECT_TRUE(name.Assign(std::string(63, 'n')));
    EXPECT_FALSE(name.Assign(std::string(64, 'n')));
    EXPECT_STREQ("", name.c_str());
}

TEST(TextBuffer, ZeroFillsBehindAShorterText)
{
    TextBuffer<kPuIdTextSize> buffer;
    ASSERT_TRUE(buffer.Assign(std::string(32, 'a')));
    ASSERT_TRUE(buffer.Assign("b"));
    for (std::size_t i = 1; i < kPuIdTextSize; ++i) EXPECT_EQ('\0', buffer.c_str()[i]) << i;
}

} // namespace
