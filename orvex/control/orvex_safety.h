// The device-access control's safety answers: IDispatch is safe for untrusted callers,
// its persistence interfaces for untrusted data, nothing else for anything; a host may
// only ask for exactly that, or for nothing.
#pragma once
#include "activex/safety_rules.h"

inline constexpr activex::SafetyRules kOrvexSafety = {
    activex::kAllSafetyOptions,
    {activex::kSafeForUntrustedCaller, activex::kSafeForUntrustedData, 0, 0},
    activex::SafetyChange::Exact,
};
