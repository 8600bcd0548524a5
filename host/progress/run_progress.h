// The host window's view of a run's progress: follows the dialog's result list (as the
// operator sees it; the control is not asked), shows the progress line in the status bar
// (and prints it for --write), keeps the run's record current on every row, and when the
// host starts, says when the last run of a list did not end and offers its retry list.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>
#include "host_options.h"
#include "progress/run_record.h"
#include "progress/status_bar.h"

namespace trevanil_host {

class CRunProgress {
public:
    explicit CRunProgress(const HostOptions& options);

    // Makes the status bar at the bottom of the host window.
    bool Create(HWND frame);
    int StatusHeight() const { return m_status.Height(); }
    void OnFrameSize() { m_status.OnParentSize(); }

    // For --write: the unfinished run is told on the console; with --resume its retry
    // list replaces the device list of `options`. False with `error` when --resume finds
    // no unfinished run.
    bool PrepareWrite(HostOptions& options, std::string& error);
    // For the window without --write, once it shows: the unfinished run is told in a
    // message box, which offers to load its retry list (with --resume it is loaded unasked).
    void OfferUnfinishedRun();

    void OnCloseFlag(short flag);
    // Reads the dialog's list; on a new row updates the status bar and the record, and
    // prints the line for --write.
    void Poll();

    // After a run: where its record is (empty when it had none).
    std::string RecordPlace() const;

private:
    void Begin();
    void Report(bool final);
    std::optional<RunState> FindUnfinished() const;

    HostOptions m_options;
    bool m_english;
    HWND m_frame = nullptr;
    CStatusBar m_status;
    CRunRecord m_record;
    bool m_running = false;
    bool m_recordFailed = false;
    bool m_hadRecord = false;
    HWND m_list = nullptr;
    std::size_t m_totalRows = 0;
    std::size_t m_lastDone = static_cast<std::size_t>(-1);
    LRESULT m_lastItemCount = -1;
    ULONGLONG m_startedAt = 0;
    std::string m_pendingLoad;           // a retry list to put into the dialog once it is there
    std::optional<RunState> m_takenUp;   // the unfinished run whose retry list was loaded
};

} // namespace trevanil_host
