// The checks of the platform address, port and file path made when Write is pressed.
#pragma once
#include <string_view>

#include "pattern_matcher.h"
#include "ui_texts.h"

// Four numbers 0..255 separated by single dots: one to three digits each, where a
// three-digit number must not begin with 0 (05 passes, 005 does not).
constexpr const char* kPlatformIpPattern =
    "^(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[0-9]{1,2})(\\.(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[0-9]{1,2})){3}$";

// The platform ports the run accepts. (The range message says 0 to 65535; 0 is refused.)
constexpr int kMinPlatformPort = 1;
constexpr int kMaxPlatformPort = 65535;

struct StartInputs
{
    std::string_view platformIp;
    std::string_view port;
    std::string_view path;
};

// True for a port value the run accepts.
bool IsPlatformPortInRange(int port);

// Checks in order: IP present, IP matches ipPattern (kPlatformIpPattern compiled),
// port present, port (read as AtoiLike, so "80abc" is 80) in range, path present.
// Returns the message slot of the first that fails, or null when all pass.
UiTextSlot CheckStartInputs(const StartInputs& inputs, const IPatternMatcher& ipPattern);
