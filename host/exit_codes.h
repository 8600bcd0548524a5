// The host program's exit codes, one meaning each, in one table: the program, its
// --help and the README's table come from here. When several apply, the first in the
// table's order is the one returned.
#pragma once
#include <array>

namespace trevanil_host {

enum class HostExit : int {
    Done = 0,
    RowsNotWritten = 1,
    BadArguments = 2,
    NoDialog = 3,
    RestartsNotSeen = 4,
    ClosedDuringRun = 5,
    RunNotCompleted = 6,
    RecordFailed = 7,
    ScreenshotFailed = 8,
    Unexpected = 9,
    NothingToResume = 10,
    TimedOut = 11,
    UnfinishedRun = 12,
    ListBusy = 13,
};

struct HostExitMeaning {
    HostExit code;
    const char* meaning;
};

// In the order of precedence.
constexpr std::array<HostExitMeaning, 14> kHostExits{{
    {HostExit::Unexpected, "an unexpected error"},
    {HostExit::BadArguments, "bad arguments, a device list that cannot be read, or Write refused the typed entries"},
    {HostExit::NothingToResume, "--resume found no unfinished run"},
    {HostExit::UnfinishedRun, "the list's last run did not end: --resume carries it on (nothing was written)"},
    {HostExit::ListBusy, "another trevanil_host is writing this list (nothing was written)"},
    {HostExit::NoDialog, "the batch control or its dialog could not be had (are the modules registered?)"},
    {HostExit::TimedOut, "the run was cut short by --timeout"},
    {HostExit::ClosedDuringRun, "the window closed while the run was active"},
    {HostExit::RecordFailed, "the run's record could not be written where it belongs (said on stderr)"},
    {HostExit::RunNotCompleted, "the run stopped before its last row (Cancel)"},
    {HostExit::RestartsNotSeen, "rows written whose device restart was not seen: they are in the retry list"},
    {HostExit::RowsNotWritten, "rows the devices refused or did not answer: they are in the retry list"},
    {HostExit::ScreenshotFailed, "the screenshot could not be saved"},
    {HostExit::Done, "every row that can be written was written and its device restarted"},
}};

// The code of the first of `found` (codes that apply) in the table's order.
template <typename Codes>
constexpr int FirstExit(const Codes& found)
{
    for (const HostExitMeaning& entry : kHostExits)
        for (HostExit code : found)
            if (code == entry.code) return static_cast<int>(code);
    return 0;
}

} // namespace trevanil_host
