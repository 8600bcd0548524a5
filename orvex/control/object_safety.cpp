#include "object_safety.h"

namespace {

// The one option each kind of interface is safe for (0: none).
std::uint32_t SafeOption(SafetyInterface kind)
{
    switch (kind) {
    case SafetyInterface::Dispatch: return safety::kScripting;
    case SafetyInterface::Persistence: return safety::kInitializing;
    default: return 0;
    }
}

} // namespace

std::int32_t GetSafetyOptions(SafetyInterface kind, std::uint32_t* supported, std::uint32_t* enabled)
{
    if (!supported || !enabled) return safety::kPointer;
    *supported = safety::kScripting | safety::kInitializing;
    *enabled = SafeOption(kind);
    return *enabled ? safety::kOk : safety::kNoInterface;
}

std::int32_t SetSafetyOptions(SafetyInterface kind, std::uint32_t mask, std::uint32_t enabled)
{
    if (mask == 0 && enabled == 0) return safety::kOk;
    const std::uint32_t option = SafeOption(kind);
    return (option && mask == option && enabled == option) ? safety::kOk : safety::kFail;
}
