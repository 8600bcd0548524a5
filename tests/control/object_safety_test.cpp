#include <gtest/gtest.h>

#include <cstdint>
#include "orvex_safety.h"

namespace {

using activex::SafetyAnswer;
using activex::SafetyInterface;

// The answers the COM layer returns as S_OK, E_NOINTERFACE, E_POINTER and E_FAIL.
constexpr SafetyAnswer kSOk = SafetyAnswer::Ok;
constexpr SafetyAnswer kENoInterface = SafetyAnswer::NoInterface;
constexpr SafetyAnswer kEPointer = SafetyAnswer::NullPointer;
constexpr SafetyAnswer kEFail = SafetyAnswer::Fail;

struct GetCase {
    SafetyInterface kind;
    SafetyAnswer result;
    std::uint32_t enabled;
};

TEST(ObjectSafety, GetAnswersEachKindOfInterface)
{
    const GetCase cases[] = {
        {SafetyInterface::Dispatch, kSOk, 1},
        {SafetyInterface::Persistence, kSOk, 2},
        {SafetyInterface::Other, kENoInterface, 0},
        {SafetyInterface::NotExposed, kENoInterface, 0},
    };
    for (const GetCase& c : cases) {
        std::uint32_t supported = 99, enabled = 99;
        EXPECT_EQ(c.result, activex::GetSafetyOptions(kOrvexSafety, c.kind, &supported, &enabled));
        EXPECT_EQ(3u, supported);
        EXPECT_EQ(c.enabled, enabled);
    }
}

TEST(ObjectSafety, GetRefusesNullOutPointers)
{
    std::uint32_t value = 7;
    EXPECT_EQ(kEPointer, activex::GetSafetyOptions(kOrvexSafety, SafetyInterface::Dispatch, nullptr, &value));
    EXPECT_EQ(kEPointer, activex::GetSafetyOptions(kOrvexSafety, SafetyInterface::Dispatch, &value, nullptr));
    EXPECT_EQ(7u, value);
}

TEST(ObjectSafety, SetAcceptsOnlyTheFixedOptionOfEachKind)
{
    using I = SafetyInterface;
    struct SetCase {
        SafetyInterface kind;
        std::uint32_t mask;
        std::uint32_t enabled;
        SafetyAnswer result;
    };
    // Written from the described rule, request by request.
    const SetCase cases[] = {
        // Nothing asked: fine for every interface, even one the control does not have.
        {I::Dispatch, 0, 0, kSOk},
        {I::Persistence, 0, 0, kSOk},
        {I::Other, 0, 0, kSOk},
        {I::NotExposed, 0, 0, kSOk},
        // IDispatch: safe for scripting only, asked exactly so.
        {I::Dispatch, 1, 1, kSOk},
        {I::Dispatch, 1, 0, kEFail},
        {I::Dispatch, 0, 1, kEFail},
        {I::Dispatch, 2, 2, kEFail},
        {I::Dispatch, 3, 3, kEFail},
        {I::Dispatch, 3, 1, kEFail},
        {I::Dispatch, 1, 3, kEFail},
        {I::Dispatch, 0xFFFFFFFFu, 1, kEFail},
        // Persistence: safe for initialising only, asked exactly so.
        {I::Persistence, 2, 2, kSOk},
        {I::Persistence, 2, 0, kEFail},
        {I::Persistence, 1, 1, kEFail},
        {I::Persistence, 3, 3, kEFail},
        {I::Persistence, 2, 3, kEFail},
        // Any other interface, exposed or not: every request that asks for something fails.
        {I::Other, 1, 1, kEFail},
        {I::Other, 2, 2, kEFail},
        {I::Other, 3, 3, kEFail},
        {I::NotExposed, 1, 1, kEFail},
        {I::NotExposed, 2, 2, kEFail},
        {I::NotExposed, 0, 3, kEFail},
    };
    for (const SetCase& c : cases)
        EXPECT_EQ(c.result, activex::SetSafetyOptions(kOrvexSafety, c.kind, c.mask, c.enabled))
            << "kind " << static_cast<int>(c.kind) << " mask " << c.mask << " enabled " << c.enabled;
}

} // namespace
