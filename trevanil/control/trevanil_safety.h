// The batch control's answers to a host's safety questions (IObjectSafety): safe for
// untrusted callers and untrusted data on every interface it has, and it refuses to be
// switched to anything less. Portable, so the rule is tested without COM.
#pragma once
#include <cstdint>

namespace trevanil_safety {

constexpr std::uint32_t kSafeForUntrustedCaller = 1;
constexpr std::uint32_t kSafeForUntrustedData = 2;
constexpr std::uint32_t kAllSafety = kSafeForUntrustedCaller | kSafeForUntrustedData;

enum class Answer { Ok, NoInterface, Fail };

// GetInterfaceSafetyOptions: both out values are kAllSafety whatever the answer.
Answer GetOptions(bool hasInterface, std::uint32_t* supported, std::uint32_t* enabled);

// SetInterfaceSafetyOptions: Ok only when the mask asks for no unknown option and every
// option it names is enabled.
Answer SetOptions(bool hasInterface, std::uint32_t mask, std::uint32_t enabled);

}  // namespace trevanil_safety
