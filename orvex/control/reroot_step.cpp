#include "reroot_step.h"

#include "connections/pu_manager.h"
#include "diag/write_log.h"

std::optional<ReRootSchedule::Clock::time_point> RunReRootStep(PuManager& registry, ReRootSchedule& schedule,
                                                              ReRootSchedule::Clock::time_point now)
{
    constexpr const char* kFn = "ReRootThread";
    int errPu = 1;
    if (schedule.closeRetriesLeft < 0) {
        switch (registry.TakePuOnline(schedule.lPuID, schedule.restartTicket)) {
        case PuManager::RestartTake::Superseded: return std::nullopt;
        case PuManager::RestartTake::Busy:
            if (schedule.busyRetriesLeft == ReRootSchedule::kBusyRetries)
                ORVEX_LOGF(kFn, "ReRoot waits for a write. lPuID:%d", schedule.lPuID);
            if (schedule.busyRetriesLeft-- > 0) return now + ReRootSchedule::kBusyRetry;
            ORVEX_LOGF(kFn, "ReRoot given up, the write did not end. lPuID:%d", schedule.lPuID);
            return std::nullopt;
        case PuManager::RestartTake::Taken: break;
        }
        registry.ReRoot(schedule.lPuID, &errPu);
        if (registry.CloseRestarted(schedule.lPuID, &errPu)) return std::nullopt;
        registry.ReturnPuOnline(schedule.lPuID);  // never written again; closed on its own schedule
        schedule.closeRetriesLeft = ReRootSchedule::kCloseRetries;
    } else if (registry.CloseRestarted(schedule.lPuID, &errPu) || errPu == kErrPuNoRecord) {
        return std::nullopt;  // closed now, or dropped by a new login to the address
    }
    if (schedule.closeRetriesLeft-- == 0) {
        ORVEX_LOGF(kFn, "DisConnect given up. lPuID:%d,err:%d", schedule.lPuID, errPu);
        return std::nullopt;
    }
    return now + ReRootSchedule::kCloseRetryDelay;
}
