// The batch control's answers to a host's safety questions.
#include <gtest/gtest.h>

#include "trevanil_safety.h"

namespace {

using trevanil_safety::Answer;

TEST(TrevanilSafety, AlwaysReportsBothOptionsAndRefusesLess)
{
    std::uint32_t supported = 0, enabled = 0;
    EXPECT_EQ(Answer::Ok, trevanil_safety::GetOptions(true, &supported, &enabled));
    EXPECT_EQ(3u, supported);
    EXPECT_EQ(3u, enabled);
    supported = enabled = 0;
    EXPECT_EQ(Answer::NoInterface, trevanil_safety::GetOptions(false, &supported, &enabled));
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
        EXPECT_EQ(c.answer, trevanil_safety::SetOptions(true, c.mask, c.enabled)) << c.mask << "/" << c.enabled;
    EXPECT_EQ(Answer::NoInterface, trevanil_safety::SetOptions(false, 3, 3));
}

}  // namespace
