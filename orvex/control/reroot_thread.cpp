#include "reroot_thread.h"

#include <windows.h>
#include <new>
#include <utility>
#include "activex/exception_barrier.h"
#include "activex/module_lock.h"
#include "activex/raii.h"
#include "connections/pu_manager.h"
#include "diag/log_format.h"
#include "diag/write_log.h"
#include "due_work_queue.h"
#include "orvex_module_state.h"
#include "reroot_delay.h"

namespace {

// Enough to keep restarts to several slow devices apart; a restart that waits for a runner
// waits for one device's answer at most.
constexpr std::size_t kMaxRunners = 4;
// A restart that finds its device being written again tries again this much later, for
// at most this long: a write that has not ended by then hangs in its device library, and
// should it end after all, a successful one schedules its own restart.
constexpr std::chrono::milliseconds kBusyRetry{200};
constexpr int kBusyRetries = 5 * 60 * 1000 / 200;  // five minutes
// A close that failed after the restart: retried on its own, this often, this far apart.
constexpr int kCloseRetries = 3;
constexpr std::chrono::milliseconds kCloseRetryDelay{1000};

// One module lock that moves with the restart that holds it.
class CModuleLockShare {
public:
    CModuleLockShare() { activex::ModuleLock(); }
    ~CModuleLockShare()
    {
        if (m_held) activex::ModuleUnlock();
    }
    CModuleLockShare(CModuleLockShare&& other) noexcept : m_held(std::exchange(other.m_held, false)) {}
    CModuleLockShare& operator=(CModuleLockShare&&) = delete;
    CModuleLockShare(const CModuleLockShare&) = delete;
    CModuleLockShare& operator=(const CModuleLockShare&) = delete;

private:
    bool m_held = true;
};

struct ReRootWork {
    CModuleLockShare moduleLock;          // given up last: the module is needed until the registry is gone
    std::shared_ptr<PuManager> registry;  // its last share hands the registry back to its home thread
    int lPuID = 0;
    std::uint32_t restartTicket = 0;
    int closeRetriesLeft = -1;            // -1: the restart itself; then the closes still to try
    int busyRetriesLeft = kBusyRetries;
};

using ReRootQueue = CDueWorkQueue<ReRootWork>;
using Clock = ReRootQueue::Clock;

// Never destroyed. While restarts wait, runners keep the module loaded, so it is unloaded
// with an empty queue; only at process exit can restarts still wait, and destroying them
// then (from the module's detach) could release the device libraries under the loader
// lock. They end with the process instead, as the runners do.
ReRootQueue& Restarts()
{
    alignas(ReRootQueue) static unsigned char storage[sizeof(ReRootQueue)];
    static ReRootQueue* const queue = new (storage) ReRootQueue(kMaxRunners);
    return *queue;
}

// One step of a restart: the restart itself, or one more try of its close. Answers when
// to run again, if at all.
std::optional<Clock::time_point> RunReRoot(ReRootWork& work)
{
    PuManager& registry = *work.registry;
    int errPu = 1;
    if (work.closeRetriesLeft < 0) {
        switch (registry.TakePuOnline(work.lPuID, work.restartTicket)) {
        case PuManager::RestartTake::Superseded: return std::nullopt;
        case PuManager::RestartTake::Busy: {
            char message[96];
            if (work.busyRetriesLeft == kBusyRetries)
                ORVEX_LOG("ReRootThread", FormatLogMessage(message, "ReRoot waits for a write. lPuID:%d", work.lPuID));
            if (work.busyRetriesLeft-- > 0) return Clock::now() + kBusyRetry;
            ORVEX_LOG("ReRootThread", FormatLogMessage(message, "ReRoot given up, the write did not end. lPuID:%d",
                                                       work.lPuID));
            return std::nullopt;
        }
        case PuManager::RestartTake::Taken: break;
        }
        registry.ReRoot(work.lPuID, &errPu);
        if (registry.CloseRestarted(work.lPuID, &errPu)) return std::nullopt;
        registry.ReturnPuOnline(work.lPuID);  // never written again; closed on its own schedule
        work.closeRetriesLeft = kCloseRetries;
    } else if (errPu = 1; registry.CloseRestarted(work.lPuID, &errPu) || errPu == kErrPuNoRecord) {
        return std::nullopt;  // closed now, or dropped by a new login to the address
    }
    if (work.closeRetriesLeft-- == 0) {
        char message[96];
        ORVEX_LOG("ReRootThread", FormatLogMessage(message, "DisConnect given up. lPuID:%d,err:%d", work.lPuID, errPu));
        return std::nullopt;
    }
    return Clock::now() + kCloseRetryDelay;
}

DWORD WINAPI RunnerThread(void* module)
{
    activex::CallbackBarrier("ReRootThread", [] {
        Restarts().RunUntilEmpty([](ReRootWork& work) noexcept {
            std::optional<Clock::time_point> again;
            activex::CallbackBarrier("ReRootThread", [&] { again = RunReRoot(work); });
            return again;
        });
    });
    FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
}

// A runner holds a reference to this module of its own, which it drops as it exits, so
// that its code stays mapped even after the host has let the module go.
bool StartRunner()
{
    if (!ReRootRunnerMayStart()) return false;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&RunnerThread),
                            &module))
        return false;
    activex::UniqueHModule reference(module);
    activex::UniqueHandle thread(CreateThread(nullptr, 0, &RunnerThread, module, 0, nullptr));
    if (!thread) return false;
    reference.release();  // the runner's now
    return true;          // nothing waits for the runner: its handle is closed at once
}

} // namespace

struct CReRootReservation::Storage {
    ReRootQueue::Reserved item;
};

CReRootReservation::CReRootReservation(std::shared_ptr<PuManager> registry)
    : m_storage(new Storage{ReRootQueue::Reserve(ReRootWork{CModuleLockShare(), std::move(registry)})})
{
}

CReRootReservation::~CReRootReservation() = default;

void CReRootReservation::Schedule(int lPuID, std::uint32_t restartTicket) noexcept
{
    if (!m_storage || m_storage->item.empty()) return;  // scheduled once only
    ReRootWork& work = m_storage->item.mapped();
    work.lPuID = lPuID;
    work.restartTicket = restartTicket;
    if (!Restarts().Post(std::move(m_storage->item), Clock::now() + ReRootDelay())) return;
    if (StartRunner()) return;
    Restarts().RunnerNotStarted();
    // The home thread tries again until a runner starts; should even that be out of
    // reach, the next write's restart tries too.
    const bool retrying = ModuleRegistry().PostRetryToHome();
    ORVEX_LOG("ScheduleReRoot", retrying ? "no runner thread now, retried shortly."
                                         : "no runner thread now, the restart waits for the next write.");
}

bool RetryReRootRunner() noexcept
{
    if (!Restarts().NeedsRunner()) return true;
    if (StartRunner()) return true;
    Restarts().RunnerNotStarted();
    return false;
}
