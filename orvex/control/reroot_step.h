// One step of a restart, as a runner thread runs it (reroot_thread.h): the restart
// itself, or one more try of its close. Portable, so that its rules are tested natively:
// a restart that finds its device being written tries again a little later, for a
// bounded time; a close that failed is tried again a few times, for this connection alone.
#pragma once
#include <chrono>
#include <cstdint>
#include <optional>

class PuManager;

struct ReRootSchedule {
    using Clock = std::chrono::steady_clock;

    // A restart that finds its device being written tries again this much later, for at
    // most kBusyRetries times (five minutes): a write that has not ended by then hangs in
    // its device library, and should it end after all, a successful one has scheduled a
    // restart of its own.
    static constexpr std::chrono::milliseconds kBusyRetry{200};
    static constexpr int kBusyRetries = 5 * 60 * 1000 / 200;
    // A close that failed after the restart: retried on its own, this often, this far apart.
    static constexpr int kCloseRetries = 3;
    static constexpr std::chrono::milliseconds kCloseRetryDelay{1000};

    int lPuID = 0;
    std::uint32_t restartTicket = 0;
    int closeRetriesLeft = -1;  // -1: the restart itself; then the closes still to try
    int busyRetriesLeft = kBusyRetries;
};

// Runs one step; answers when to run again (from `now`), if at all.
std::optional<ReRootSchedule::Clock::time_point> RunReRootStep(PuManager& registry, ReRootSchedule& schedule,
                                                              ReRootSchedule::Clock::time_point now);
