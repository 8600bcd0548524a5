// The small state file of a batch run: which device list, where its results file and
// retry list are, whether the run is still going, and how far it got. The host rewrites
// it whole (temporary file, flush, replace) after the two files on every row, so after a
// crash at any instant it names the last whole pair of files and says "running" when the
// run did not end. Portable: the text format and its reader (which takes any bytes).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trevanil_host {

enum class RunStateKind { Running, Ended, Interrupted };

struct RunState {
    RunStateKind state = RunStateKind::Running;
    std::string list;      // UTF-8 paths
    std::string results;
    std::string retry;
    std::uint64_t rows = 0;
    std::uint64_t done = 0;
    std::uint64_t succeeded = 0;
    std::uint64_t failed = 0;
    std::string started;   // local time "YYYY-MM-DD hh:mm:ss"
    std::string updated;
    std::uint64_t pid = 0;            // the host that ran it, and when that process started
    std::uint64_t processStart = 0;   // (so a run still going in another host is not taken for a crashed one)
};

// "trevanil-run 1" then one "key=value" line per field, CR LF line ends. Nothing when a
// text holds a line break (no path or time does).
std::optional<std::string> FormatRunState(const RunState& state);

// Reads what FormatRunState wrote; nothing for anything else: a missing or different
// first line, a missing or repeated field, a number that is not decimal or too large,
// counts that do not add up (done > rows, succeeded + failed != done), texts over 32 KiB.
// Unknown keys are skipped (a later version may add some).
std::optional<RunState> ParseRunState(std::string_view text);

} // namespace trevanil_host
