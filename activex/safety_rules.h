// A control's answers to a host's safety questions (IObjectSafety) as data: the options
// each kind of interface is safe for, fixed (nothing is stored), and how a request to
// change them is judged. Portable, so each control's rules are tested without COM;
// object_safety.h answers IObjectSafety by them.
#pragma once
#include <cstdint>

namespace activex {

constexpr std::uint32_t kSafeForUntrustedCaller = 1;  // INTERFACESAFE_FOR_UNTRUSTED_CALLER
constexpr std::uint32_t kSafeForUntrustedData = 2;    // INTERFACESAFE_FOR_UNTRUSTED_DATA
constexpr std::uint32_t kAllSafetyOptions = kSafeForUntrustedCaller | kSafeForUntrustedData;

enum class SafetyInterface {
    Dispatch,     // IDispatch
    Persistence,  // IPersistPropertyBag, IPersistStreamInit, IPersistStorage, IPersistMemory
    Other,        // any other interface the control exposes
    NotExposed,
};

enum class SafetyAnswer { Ok, NoInterface, Fail, NullPointer };  // S_OK, E_NOINTERFACE, E_FAIL, E_POINTER

enum class SafetyChange {
    Exact,       // a request asks for nothing, or for exactly the options in mask and enabled
    Consistent,  // only for an exposed interface, its mask names supported options, each as it is
};

struct SafetyRules {
    std::uint32_t supported;   // reported for every interface
    std::uint32_t options[4];  // per SafetyInterface (NotExposed: reported, never Ok)
    SafetyChange change;
};

// GetInterfaceSafetyOptions: nothing is written unless both are given.
inline SafetyAnswer GetSafetyOptions(const SafetyRules& rules, SafetyInterface kind, std::uint32_t* supported,
                                     std::uint32_t* enabled)
{
    if (!supported || !enabled) return SafetyAnswer::NullPointer;
    *supported = rules.supported;
    *enabled = rules.options[static_cast<int>(kind)];
    return kind != SafetyInterface::NotExposed && *enabled ? SafetyAnswer::Ok : SafetyAnswer::NoInterface;
}

inline SafetyAnswer SetSafetyOptions(const SafetyRules& rules, SafetyInterface kind, std::uint32_t mask,
                                     std::uint32_t enabled)
{
    const std::uint32_t options = rules.options[static_cast<int>(kind)];
    const bool exact = rules.change == SafetyChange::Exact;
    if (!exact && kind == SafetyInterface::NotExposed) return SafetyAnswer::NoInterface;
    const bool ok = exact ? (mask == 0 && enabled == 0) || (mask == options && enabled == options)
                          : (mask & ~rules.supported) == 0 && (mask & enabled) == (mask & options);
    return ok ? SafetyAnswer::Ok : SafetyAnswer::Fail;
}

} // namespace activex
