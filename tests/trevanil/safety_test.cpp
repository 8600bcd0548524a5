// The batch control's answers to a host's safety questions.
#include <gtest/gtest.h>

#include "trevanil_safety.h"

namespace {

using Answer = activex::SafetyAnswer;
using activex::GetSafetyOptions;
using activex::SetSafetyOptions;
// An interface the control has, and one it lacks.
constexpr auto kHas = activex::SafetyInterface::Other, kLacks = activex::SafetyInterface::NotExposed;

TEST(TrevanilSafety, AlwaysReportsBothOptionsAndRefusesLess)
{
    std::uint32_t supported = 0, enabled = 0;
    EXPECT_EQ(Answer::Ok, GetSafetyOptions(kTrevanilSafety, kHas, &supported, &enabled));
    EXPECT_EQ(3u, supported);
    EXPECT_EQ(3u, enabled);
    supported = enabled = 0;
    EXPECT_EQ(Answer::NoInterface, GetSafetyOptions(kTrevanilSafety, kLacks, &supported, &enabled));
    EXPECT_EQ(3u, supported) << "set even for an interface the control lacks";
    EXPECT_EQ(3u, enabled);

    struct Case {
        std::uint32_t mask, enabled;
        Answer answer;
    };
    const Case cases[] = {
        {0, 0, Answer::Ok},   {1, 1, Answer::Ok},   {2, 2, Answer::Ok},   {3, 3, Answer::Ok},
        {1, 3, Answer::Ok},   {3, 1, Answer::Fail}, {1, 0, Answer::Fail}, {2, 0, Answer::Fail},
        {4, 4, Answer::Fail}, {7, 7, Answer::Fail},
        // Enabled bits beyond the mask are not asked for; a mask bit beyond the two options is.
        {2, 3, Answer::Ok},   {0, 7, Answer::Ok},   {3, 2, Answer::Fail}, {3, 0, Answer::Fail},
        {4, 0, Answer::Fail}, {0xFFFFFFFFu, 0xFFFFFFFFu, Answer::Fail},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, SetSafetyOptions(kTrevanilSafety, kHas, c.mask, c.enabled)) << c.mask << "/" << c.enabled;
    EXPECT_EQ(Answer::NoInterface, SetSafetyOptions(kTrevanilSafety, kLacks, 3, 3));
}

}  // namespace
