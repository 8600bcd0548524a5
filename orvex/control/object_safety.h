// The answers of the control's IObjectSafety, independent of COM: the caller says
// which kind of interface was asked about and gets the result code to return.
#pragma once
#include <cstdint>

enum class SafetyInterface {
    NotExposed,   // the control does not expose it
    Dispatch,     // IDispatch
    Persistence,  // IPersistPropertyBag, IPersistStreamInit, IPersistStorage, IPersistMemory
    Other,        // exposed, but no safety claim is made for it
};

namespace safety {
constexpr std::uint32_t kScripting = 1;      // INTERFACESAFE_FOR_UNTRUSTED_CALLER
constexpr std::uint32_t kInitializing = 2;   // INTERFACESAFE_FOR_UNTRUSTED_DATA
constexpr std::int32_t kOk = 0;
constexpr std::int32_t kNoInterface = static_cast<std::int32_t>(0x80004002);
constexpr std::int32_t kPointer = static_cast<std::int32_t>(0x80004003);
constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005);
} // namespace safety

// GetInterfaceSafetyOptions: fills supported/enabled (when given) and returns the result.
std::int32_t GetSafetyOptions(SafetyInterface kind, std::uint32_t* supported, std::uint32_t* enabled);

// SetInterfaceSafetyOptions: nothing is stored; a request matching the fixed options succeeds.
std::int32_t SetSafetyOptions(SafetyInterface kind, std::uint32_t mask, std::uint32_t enabled);
