// After a run: each successful write restarts its device about five seconds later, from
// the device-access module in this process, and the module releases the device
// libraries on this thread once the last restart is done.
#pragma once

namespace trevanil_host {

// Whether the device-access module in this process still has work due (restarts).
bool DeviceModuleBusy();

// Serves this thread's messages (the module releases its libraries through them).
void ServeMessages();

// Waits up to `ms` for a message to this thread.
void WaitForMessages(unsigned ms);

} // namespace trevanil_host
