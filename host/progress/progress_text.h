// The run's progress as one line of text, for the host window's status bar and the
// console of --write, and the estimate of the time left behind it. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace trevanil_host {

struct RunCounts {
    std::size_t done = 0;       // rows with their result
    std::size_t total = 0;      // rows in the list
    std::size_t succeeded = 0;  // of `done`, written
    std::size_t failed = 0;     // of `done`, not written (refused, incomplete, GB, ...)
};

enum class RunPhase { Running, Ended, Interrupted };

// "第 37 / 500 行 · 成功 35 · 失败 2 · 约剩 14 分钟" (Chinese) or
// "Row 37 of 500 · 35 succeeded · 2 failed · about 14 min left" (English). The last part
// says "finished" or "interrupted" once the run has ended; without an estimate it is left
// out. Minutes are rounded to the nearest; under half a minute reads "less than 1 min".
std::string FormatProgressLine(const RunCounts& counts, RunPhase phase, std::optional<std::int64_t> msLeft,
                               bool english);

} // namespace trevanil_host
