// How long after a successful write its device is restarted: long enough for the device
// to have taken the new settings. The shipped module links reroot_delay.cpp, which
// answers the constant; the tests' build of the module links a settable one instead.
#pragma once
#include <chrono>

constexpr std::chrono::milliseconds kReRootDelay{5000};

std::chrono::milliseconds ReRootDelay();
