// How long after a successful write its device is restarted: long enough for the device
// to have taken the new settings. The shipped module links reroot_delay.cpp, which
// answers the constant and always lets a runner start; the tests' build of the module
// links settable ones instead.
#pragma once
#include <chrono>

constexpr std::chrono::milliseconds kReRootDelay{5000};

std::chrono::milliseconds ReRootDelay();
// Whether a restart runner may be started now (the tests' build can refuse some).
bool ReRootRunnerMayStart();
