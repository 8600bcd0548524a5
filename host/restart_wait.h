// After a run: each successful write restarts its device about five seconds later, from
// the device-access module in this process, and the module releases the device
// libraries on this thread once the last restart is done. Leaving earlier would leave the
// devices written last without their restart.
#pragma once
#include <cstdint>

// Where the module's daily log ends now: what a run logs after this is its own.
std::uint64_t DeviceLogPosition();

// Serves this thread's messages until the module can unload, at most `limitSeconds`.
// False when restarts were still pending then; the devices not restarted are named on stderr.
bool WaitForDeviceRestarts(std::uint64_t logStart, int limitSeconds);
