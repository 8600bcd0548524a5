#include "input_checks.h"

#include "number_text.h"

bool IsPlatformPortInRange(int port)
{
    return port >= kMinPlatformPort && port <= kMaxPlatformPort;
}

UiTextSlot CheckStartInputs(const StartInputs& inputs, const IPatternMatcher& ipPattern)
{
    if (inputs.platformIp.empty()) return &UiTexts::textIpEmpty;
    if (!ipPattern.MatchWhole(inputs.platformIp)) return &UiTexts::textIpInvalid;
    if (inputs.port.empty()) return &UiTexts::textPortEmpty;
    if (!IsPlatformPortInRange(AtoiLike(inputs.port))) return &UiTexts::textPortRange;
    if (inputs.path.empty()) return &UiTexts::textNoFile;
    return nullptr;
}
