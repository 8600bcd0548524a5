// The restart that each successful WritePu asks for: about five seconds later one marked
// device is restarted and its connection closed. Restarts wait in one queue and are run
// by a few runner threads that exist only while restarts wait, so no number of writes
// can use up the process's threads.
#pragma once
#include <memory>

class PuManager;

// Queues one restart on `registry`. Until it has run, the restart keeps a share of the
// registry and a module lock (DllCanUnloadNow answers S_FALSE); the runner that runs it
// keeps the module loaded.
void ScheduleReRoot(std::shared_ptr<PuManager> registry);
