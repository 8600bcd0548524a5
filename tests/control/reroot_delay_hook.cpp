// The restart delay of the tests' build of orvex.dll, in place of the shipped constant:
// the tests set it through an export that only this build has, so that they wait for a
// restart a fraction of a second instead of five seconds.
#include <windows.h>

#include <atomic>
#include "reroot_delay.h"

namespace {
std::atomic<long> g_reRootDelayMs{static_cast<long>(kReRootDelay.count())};
}

std::chrono::milliseconds ReRootDelay() { return std::chrono::milliseconds(g_reRootDelayMs.load()); }

extern "C" __declspec(dllexport) void OrvexTestSetReRootDelay(long milliseconds)
{
    g_reRootDelayMs.store(milliseconds);
}
