// The restart that each successful WritePu asks for: about five seconds after the write,
// the written device is restarted and its connection closed. A restart belongs to the
// write that scheduled it (the ticket SetPuOnline handed out): a later write to the same
// connection supersedes it with its own, and a close that fails is retried for this
// connection alone. Restarts wait in one queue and are run by a few runner threads that
// exist only while restarts wait, so no number of writes can use up the threads.
#pragma once
#include <cstdint>
#include <memory>

class PuManager;

class CReRootReservation {
public:
    // Everything a restart needs that can fail (this may throw std::bad_alloc), made
    // before the device is written.
    explicit CReRootReservation(std::shared_ptr<PuManager> registry);
    ~CReRootReservation();
    CReRootReservation(const CReRootReservation&) = delete;
    CReRootReservation& operator=(const CReRootReservation&) = delete;

    // Queues the restart of `lPuID` for the write that got `restartTicket`. Cannot fail:
    // should no runner start now, one is retried by itself within a second or so.
    void Schedule(int lPuID, std::uint32_t restartTicket) noexcept;

    struct Storage;

private:
    std::unique_ptr<Storage> m_storage;
};

// The home thread's retry (IRegistryHome::PostRetry): starts a runner when restarts wait
// without one. True when none is missing any more.
bool RetryReRootRunner() noexcept;
