#include <gtest/gtest.h>

#include <cstdint>
#include "object_safety.h"

namespace {

struct GetCase {
    SafetyInterface kind;
    std::int32_t result;
    std::uint32_t enabled;
};

TEST(ObjectSafety, GetAnswersEachKindOfInterface)
{
    const GetCase cases[] = {
        {SafetyInterface::Dispatch, safety::kOk, 1},
        {SafetyInterface::Persistence, safety::kOk, 2},
        {SafetyInterface::Other, safety::kNoInterface, 0},
        {SafetyInterface::NotExposed, safety::kNoInterface, 0},
    };
    for (const GetCase& c : cases) {
        std::uint32_t supported = 99, enabled = 99;
        EXPECT_EQ(c.result, GetSafetyOptions(c.kind, &supported, &enabled));
        EXPECT_EQ(3u, supported);
        EXPECT_EQ(c.enabled, enabled);
    }
}

TEST(ObjectSafety, GetRefusesNullOutPointers)
{
    std::uint32_t value = 7;
    EXPECT_EQ(safety::kPointer, GetSafetyOptions(SafetyInterface::Dispatch, nullptr, &value));
    EXPECT_EQ(safety::kPointer, GetSafetyOptions(SafetyInterface::Dispatch, &value, nullptr));
    EXPECT_EQ(7u, value);
}

TEST(ObjectSafety, SetAcceptsOnlyTheFixedOptionOfEachKind)
{
    const SafetyInterface kinds[] = {SafetyInterface::Dispatch, SafetyInterface::Persistence, SafetyInterface::Other,
                                     SafetyInterface::NotExposed};
    for (SafetyInterface kind : kinds) {
        for (std::uint32_t mask = 0; mask <= 3; ++mask) {
            for (std::uint32_t enabled = 0; enabled <= 3; ++enabled) {
                std::int32_t expected = safety::kFail;
                if (mask == 0 && enabled == 0) expected = safety::kOk;
                else if (kind == SafetyInterface::Dispatch && mask == 1 && enabled == 1) expected = safety::kOk;
                else if (kind == SafetyInterface::Persistence && mask == 2 && enabled == 2) expected = safety::kOk;
                EXPECT_EQ(expected, SetSafetyOptions(kind, mask, enabled))
                    << "kind " << static_cast<int>(kind) << " mask " << mask << " enabled " << enabled;
            }
        }
    }
    EXPECT_EQ(safety::kFail, SetSafetyOptions(SafetyInterface::Dispatch, 0xFFFFFFFFu, 1));
}

} // namespace
