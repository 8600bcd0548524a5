// The batch control's safety answers: safe for untrusted callers and untrusted data on
// every interface it has (and reports so even for one it lacks), and it refuses to be
// switched to anything less.
#pragma once
#include "activex/safety_rules.h"

inline constexpr activex::SafetyRules kTrevanilSafety = {
    activex::kAllSafetyOptions,
    {activex::kAllSafetyOptions, activex::kAllSafetyOptions, activex::kAllSafetyOptions, activex::kAllSafetyOptions},
    activex::SafetyChange::Consistent,
};
