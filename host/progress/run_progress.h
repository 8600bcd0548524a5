// The host window's view of a run: follows the dialog's result list (as the operator
// sees it; the control is not asked) row by row, reading only the items added since the
// last look, shows the progress line in the status bar (and prints it for --write), and
// keeps the run's record (run_record.h): each row's result, then its device's restart as
// the device-access module's log tells it. When the host starts it says when the last
// run of a list did not end and offers to carry it on.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "device_log_tail.h"
#include "exit_codes.h"
#include "host_options.h"
#include "progress/pace_window.h"
#include "progress/progress_text.h"
#include "progress/restart_tracker.h"
#include "progress/run_record.h"
#include "progress/status_bar.h"
#include "run_keep_awake.h"

namespace trevanil_host {

class CRunProgress {
public:
    explicit CRunProgress(const HostOptions& options);

    // Makes the status bar at the bottom of the host window.
    bool Create(HWND frame);
    int StatusHeight() const { return m_status.Height(); }
    void OnFrameSize() { m_status.OnParentSize(); }

    // For --write, before the run: refuses (the exit code) a list another host is writing,
    // a list whose last run did not end without --resume, and --resume with nothing to
    // resume; with --resume the unfinished run's retry list replaces the device list.
    std::optional<HostExit> PrepareWrite(HostOptions& options, std::string& error);
    // For the window without --write, once it shows: the unfinished run is told in a
    // message box, which offers to load its retry list (with --resume it is loaded unasked).
    void OfferUnfinishedRun();

    void OnCloseFlag(short flag);
    // Reads what is new in the dialog's list and in the device log, and keeps the status
    // bar and the record current.
    void Poll();

    // At the end: serves this thread's messages while the written devices' restarts are
    // due, at most `limitSeconds`, then finishes the record.
    void AwaitRestartsAndFinish(int limitSeconds);
    // What the runs left, for the exit code.
    const std::vector<HostExit>& Outcome() const { return m_outcome; }

private:
    void Begin();
    void ReadNewItems();
    void ReadLog();
    void Report(bool final);
    void FinishRecord();
    void TellRecordFailure(const std::string& error);
    void Tell(const std::string& text, UINT icon);
    void ShowNotices();
    std::string PlaceText() const;

    HostOptions m_options;
    bool m_english;
    HWND m_frame = nullptr;
    CStatusBar m_status;
    CDeviceLogTail m_log;
    CRestartTracker m_tracker;
    CRunRecord m_record;
    std::uint64_t m_generation = 0;       // which run a tracker token belongs to
    bool m_running = false;
    bool m_inPoll = false;
    bool m_failureTold = false;
    HWND m_list = nullptr;
    int m_nextItem = 0;                   // the first item of the dialog's list without a result
    RunCounts m_counts;
    std::size_t m_lastReported = static_cast<std::size_t>(-1);
    CPaceWindow m_pace;
    std::unique_ptr<CRunKeepAwake> m_awake;  // while a run and its restarts go on
    ULONGLONG m_overAt = 0;
    ULONGLONG m_lastRestartAt = 0;
    std::string m_pendingLoad;            // a retry list to put into the dialog once it is there
    std::optional<RunState> m_resume;     // the unfinished run whose retry list was loaded
    std::vector<HostExit> m_outcome;
    struct Notice {
        std::string text;
        UINT icon;
    };
    std::vector<Notice> m_notices;  // for the operator, once the current message is handled
};

} // namespace trevanil_host
