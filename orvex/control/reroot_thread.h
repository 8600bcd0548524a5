// The restart worker that each successful WritePu starts: five seconds later it
// restarts one marked device and closes its connection.
#pragma once
#include <memory>

class PuManager;

constexpr unsigned long kReRootDelayMs = 5000;

// Starts a detached worker that owns a share of `registry` and keeps the module
// loaded (and DllCanUnloadNow answering S_FALSE) until it has ended.
void StartReRootThread(std::shared_ptr<PuManager> registry);
