// The HTTP port text: a whole decimal number, optionally signed, blanks or tabs
// around it, no range check within int32.
#include <gtest/gtest.h>

#include "login_port.h"

namespace {

void ExpectPort(std::u16string_view text, int32_t expected)
{
    const PortText port = ParseHttpPort(text);
    EXPECT_EQ(port.result, PortTextResult::Ok);
    EXPECT_EQ(port.value, expected);
}

void ExpectRefused(std::u16string_view text, PortTextResult why = PortTextResult::NotANumber)
{
    EXPECT_EQ(ParseHttpPort(text).result, why);
}

} // namespace

TEST(ParseHttpPort, TakesWholeNumbersWithBlanksOrTabsAround)
{
    ExpectPort(u"80", 80);
    ExpectPort(u" 80 ", 80);
    ExpectPort(u"80 ", 80);
    ExpectPort(u"\t8080\t ", 8080);
    ExpectPort(u"0080", 80);
    ExpectPort(u"+443", 443);
}

TEST(ParseHttpPort, MakesNoRangeCheckWithinInt32)
{
    ExpectPort(u"0", 0);
    ExpectPort(u"-5", -5);
    ExpectPort(u"70000", 70000);
    ExpectPort(u"2147483647", 2147483647);
    ExpectPort(u"-2147483648", INT32_MIN);
    ExpectPort(u" -0 ", 0);
}

TEST(ParseHttpPort, RefusesTextThatIsNotAWholeNumber)
{
    ExpectRefused(u"");
    ExpectRefused(u"   ");
    ExpectRefused(u"8a");
    ExpectRefused(u"a8");
    ExpectRefused(u"8 0");
    ExpectRefused(u"-");
    ExpectRefused(u"+ 5");
    ExpectRefused(u"--5");
    ExpectRefused(u"8.0");
    ExpectRefused(u"0x50");
    ExpectRefused(u"\n80");       // only blanks and tabs may surround it
    ExpectRefused(u"80\r\n");
    ExpectRefused(u"\uFF18\uFF10");  // full-width digits are not decimal digits here
    ExpectRefused(std::u16string_view(u"8\0" "0", 3));
}

TEST(ParseHttpPort, RefusesWholeNumbersBeyondInt32)
{
    ExpectRefused(u"2147483648", PortTextResult::OutOfRange);
    ExpectRefused(u"-2147483649", PortTextResult::OutOfRange);
    ExpectRefused(u" 99999999999999999999999999999 ", PortTextResult::OutOfRange);
    // Not a number at all wins over the size of its digits.
    ExpectRefused(u"99999999999999999999x");
}
