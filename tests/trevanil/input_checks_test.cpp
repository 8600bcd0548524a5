#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "input_checks.h"
#include "number_text.h"
#include "pattern_matcher.h"
#include "ui_texts.h"

namespace {

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

class InputChecks : public ::testing::Test
{
protected:
    // The English message of the first failing check, or "(none)".
    std::string MessageFor(std::string_view ip, std::string_view port, std::string_view path) const
    {
        const UiTextSlot slot = CheckStartInputs({ip, port, path}, *m_ipPattern);
        return slot ? FindLanguageTexts(kLanguageEnglish)->ui.*slot : "(none)";
    }

    std::unique_ptr<IPatternMatcher> m_ipPattern = CompilePattern(kPlatformIpPattern);
};

constexpr const char* kIpInvalid = "Invalid IP Address!";
constexpr const char* kPortRange = "Please enter a port number from the range of 0 to 65535.";

}  // namespace

TEST(AtoiLike, LeadingNumberAsAtoiReadsIt)
{
    EXPECT_EQ(AtoiLike("5510"), 5510);
    EXPECT_EQ(AtoiLike("80abc"), 80);
    EXPECT_EQ(AtoiLike(" \t\n\v\f\r+42"), 42);
    EXPECT_EQ(AtoiLike("-17x"), -17);
    EXPECT_EQ(AtoiLike("007"), 7);
    for (const char* zero : {"", "abc", "+", "-", " ", "+-1", "- 1", "x80", "\xEF\xBC\x98"}) {
        EXPECT_EQ(AtoiLike(zero), 0) << zero;
    }
}

TEST(AtoiLike, ValuesBeyondThirtyTwoBitsClampInsteadOfWrapping)
{
    EXPECT_EQ(AtoiLike("2147483647"), kIntMax);
    EXPECT_EQ(AtoiLike("-2147483648"), kIntMin);
    EXPECT_EQ(AtoiLike("2147483648"), kIntMax);
    EXPECT_EQ(AtoiLike("-2147483649"), kIntMin);
    // 4294967376 would wrap to 80, 4294967297 to 1: both must stay out of any range.
    EXPECT_EQ(AtoiLike("4294967376"), kIntMax);
    EXPECT_EQ(AtoiLike("99999999999"), kIntMax);
    EXPECT_EQ(AtoiLike(std::string(10000, '9')), kIntMax);
    EXPECT_EQ(AtoiLike("-" + std::string(10000, '9')), kIntMin);
    EXPECT_EQ(AtoiLike(std::string(10000, '0') + "65535"), 65535);
}

TEST(PatternMatcher, MatchesTheWholeTextOnly)
{
    const std::unique_ptr<IPatternMatcher> pattern = CompilePattern("a(b|c){1,2}");
    ASSERT_TRUE(pattern);
    EXPECT_TRUE(pattern->MatchWhole("ab"));
    EXPECT_TRUE(pattern->MatchWhole("acb"));
    EXPECT_FALSE(pattern->MatchWhole("abbb"));
    EXPECT_FALSE(pattern->MatchWhole("xab"));
    EXPECT_FALSE(pattern->MatchWhole(std::string("ab\0", 3)));
    EXPECT_FALSE(CompilePattern("(unclosed"));
    EXPECT_FALSE(CompilePattern("[z-a]"));
}

TEST_F(InputChecks, IpAddressesThePatternAccepts)
{
    ASSERT_TRUE(m_ipPattern);
    for (const char* ip : {"0.0.0.0", "255.255.255.255", "192.168.1.10", "05.5.0.99", "199.249.250.200",
                           "10.00.0.1"}) {
        EXPECT_EQ(MessageFor(ip, "5510", "f.csv"), "(none)") << ip;
    }
}

TEST_F(InputChecks, IpAddressesThePatternRefuses)
{
    for (const char* ip : {"256.1.1.1", "1.2.3", "1.2.3.4.5", "1.2.3.4 ", " 1.2.3.4", "01.002.3.4", "005.1.1.1",
                           "1.2.3.256", "260.0.0.1", "300.1.1.1", "1..2.3", "1.2.3.", ".1.2.3", "1,2,3,4",
                           "a.b.c.d", "1.2.3.4\n", "\xEF\xBC\x91.2.3.4", "0x1.2.3.4", "1.2.3.-4", "+1.2.3.4",
                           "1.2.3.4/24", "1.2.3.4:80"}) {
        EXPECT_EQ(MessageFor(ip, "5510", "f.csv"), kIpInvalid) << ip;
    }
    EXPECT_EQ(MessageFor(std::string("1.2.3.4\0", 8), "5510", "f.csv"), kIpInvalid);
    EXPECT_EQ(MessageFor(std::string(100000, '1'), "5510", "f.csv"), kIpInvalid);
}

TEST_F(InputChecks, PortValues)
{
    for (const char* port : {"1", "65535", "5510", "80abc", " 80", "+80", "0080"}) {
        EXPECT_EQ(MessageFor("1.2.3.4", port, "f.csv"), "(none)") << port;
    }
    for (const char* port : {"0", "-1", "65536", "abc", " ", "-65535", "4294967376", "99999999999"}) {
        EXPECT_EQ(MessageFor("1.2.3.4", port, "f.csv"), kPortRange) << port;
    }
}

TEST_F(InputChecks, TheFirstFailingCheckDecides)
{
    EXPECT_EQ(MessageFor("", "", ""), "Please enter an IP address.");
    EXPECT_EQ(MessageFor("1.2.3", "", ""), kIpInvalid);
    EXPECT_EQ(MessageFor("1.2.3.4", "", ""), "Please enter a port number of the VMS.");
    EXPECT_EQ(MessageFor("1.2.3.4", "0", ""), kPortRange);
    EXPECT_EQ(MessageFor("1.2.3.4", "5510", ""), "No file is selected. Please try again.");
    // The path is not looked at beyond being present.
    EXPECT_EQ(MessageFor("1.2.3.4", "5510", " "), "(none)");
}

TEST(UiTexts, EveryTextIsFilledInBothLanguages)
{
    const UiTextSlot slots[] = {
        &UiTexts::textIpEmpty,   &UiTexts::captionError,    &UiTexts::textIpInvalid,  &UiTexts::textPortEmpty,
        &UiTexts::textPortRange, &UiTexts::textNoFile,      &UiTexts::textNoData,     &UiTexts::textWriting,
        &UiTexts::textIncomplete, &UiTexts::textGbRefused,  &UiTexts::textSucceeded,  &UiTexts::textFailed,
        &UiTexts::textCompleted, &UiTexts::textInterrupted, &UiTexts::fileFilter,     &UiTexts::textAccessUnavailable};
    static_assert(sizeof slots / sizeof slots[0] == sizeof(UiTexts) / sizeof(const char*), "a slot is missing");
    const LanguageTexts* chinese = FindLanguageTexts(kLanguageChinese);
    const LanguageTexts* english = FindLanguageTexts(kLanguageEnglish);
    ASSERT_TRUE(chinese && english);
    EXPECT_EQ(&DefaultLanguageTexts(), chinese);
    for (const UiTextSlot slot : slots) {
        ASSERT_TRUE(chinese->ui.*slot && english->ui.*slot);
        EXPECT_STRNE(chinese->ui.*slot, "");
        EXPECT_STRNE(chinese->ui.*slot, english->ui.*slot);
    }
    for (const LanguageTexts* texts : {chinese, english}) {
        for (const char* text : {texts->labelPlatformIp, texts->labelPort, texts->labelFile, texts->buttonBrowse,
                                 texts->buttonWrite, texts->buttonCancel}) {
            ASSERT_TRUE(text);
            EXPECT_STRNE(text, "");
        }
        for (const ListColumnText& column : texts->columns) {
            ASSERT_TRUE(column.caption);
            EXPECT_GT(column.width, 0);
        }
    }
    for (const int other : {0, -1, 3, 100}) EXPECT_EQ(FindLanguageTexts(other), nullptr) << other;
}

TEST(UiTexts, TheFileFilterReachesTheFileDialogAsZeroSeparatedPairsEndingInTwoZeros)
{
    EXPECT_EQ(FileDialogFilter(L"A (*.a)|*.a|B|*.b||"), std::wstring(L"A (*.a)\0*.a\0B\0*.b\0\0", 19));
    for (const int language : {kLanguageChinese, kLanguageEnglish}) {
        const std::string pairs = LanguageTextsFor(language).ui.fileFilter;  // its bytes widened: the bars are ASCII
        const std::wstring filter = FileDialogFilter(std::wstring(pairs.begin(), pairs.end()));
        EXPECT_EQ(std::count(filter.begin(), filter.end(), L'\0'), 3) << language;
        EXPECT_EQ(filter.substr(filter.size() - 2), std::wstring(2, L'\0')) << language;
    }
}
