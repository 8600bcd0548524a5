// The timer period of the tests' build of trevanil.dll, in place of the shipped one: a
// row every kTestRunTimerPeriodMs instead of every 1.8 s, so that a test that runs many
// lists of many rows through the host program takes seconds. The shipped module has no
// way to change its period.
#include "run_timer_period.h"

namespace {
constexpr unsigned kTestRunTimerPeriodMs = 200;
}

unsigned RunTimerPeriodMs(unsigned) { return kTestRunTimerPeriodMs; }
