// The restart settings of the tests' build of orvex.dll, in place of the shipped ones:
// the tests set them through exports that only this build has, so that they wait for a
// restart a fraction of a second instead of five seconds, and can refuse runner threads
// as a process that has run out of them would.
#include <windows.h>

#include <atomic>
#include "reroot_delay.h"

namespace {
std::atomic<long> g_reRootDelayMs{static_cast<long>(kReRootDelay.count())};
std::atomic<long> g_runnerStartsToRefuse{0};
}

std::chrono::milliseconds ReRootDelay() { return std::chrono::milliseconds(g_reRootDelayMs.load()); }

bool ReRootRunnerMayStart()
{
    long left = g_runnerStartsToRefuse.load();
    while (left > 0 && !g_runnerStartsToRefuse.compare_exchange_weak(left, left - 1)) {}
    return left <= 0;
}

extern "C" __declspec(dllexport) void OrvexTestSetReRootDelay(long milliseconds)
{
    g_reRootDelayMs.store(milliseconds);
}

extern "C" __declspec(dllexport) void OrvexTestRefuseRunnerStarts(long count)
{
    g_runnerStartsToRefuse.store(count);
}
