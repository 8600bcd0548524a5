#include "reroot_thread.h"

#include <windows.h>
#include <new>
#include <utility>
#include "activex/exception_barrier.h"
#include "activex/module_lock.h"
#include "activex/raii.h"
#include "connections/pu_manager.h"
#include "diag/write_log.h"
#include "due_work_queue.h"
#include "orvex_module_state.h"
#include "reroot_delay.h"
#include "reroot_step.h"

namespace {

// Enough to keep restarts to several slow devices apart; a restart that waits for a runner
// waits for one device's answer at most.
constexpr std::size_t kMaxRunners = 4;

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
    ReRootSchedule schedule;
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

DWORD WINAPI RunnerThread(void* module)
{
    activex::CallbackBarrier("ReRootThread", [] {
        Restarts().RunUntilEmpty([](ReRootWork& work) noexcept {
            std::optional<Clock::time_point> again;
            activex::CallbackBarrier("ReRootThread",
                                     [&] { again = RunReRootStep(*work.registry, work.schedule, Clock::now()); });
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
    : m_storage(new Storage{
          ReRootQueue::Reserve(ReRootWork{CModuleLockShare(), std::move(registry), ReRootSchedule{}})})
{
}

CReRootReservation::~CReRootReservation() = default;

void CReRootReservation::Schedule(int lPuID, std::uint32_t restartTicket) noexcept
{
    if (!m_storage || m_storage->item.empty()) return;  // scheduled once only
    ReRootSchedule& schedule = m_storage->item.mapped().schedule;
    schedule.lPuID = lPuID;
    schedule.restartTicket = restartTicket;
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
