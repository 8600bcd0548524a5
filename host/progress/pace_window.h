// Time left from the pace of the last rows: a run of hours changes pace (a slow network,
// devices that refuse), and the average since the start would hide that for a long time.
// Portable; the clock is the caller's (milliseconds of any monotonic base).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace trevanil_host {

// While few rows are measured the tick weighs in as this many rows of one tick each, so
// that one slow or quick row early on does not swing the estimate.
constexpr std::int64_t kPriorRows = 3;

class CPaceWindow {
public:
    static constexpr std::size_t kDefaultRows = 20;

    // `tickMs`: the control's pace, the estimate before rows have been measured.
    // `windowRows`: how many of the last rows the pace is taken from (at least one).
    explicit CPaceWindow(std::int64_t tickMs, std::size_t windowRows = kDefaultRows);

    // The run (or its resume) starts: forgets the rows measured so far.
    void Start(std::int64_t nowMs);
    // One more row has its result. Several rows seen in one poll are several calls with
    // the same time. Without Start the first call only starts the clock.
    void RowDone(std::int64_t nowMs);

    // Rows still to do times the recent pace; nothing when no row is left or the tick is
    // not positive. While the window fills, the tick weighs as `kPriorRows` rows of one
    // tick each, fading to nothing once the window is full, so that the first rows do not
    // swing the estimate.
    std::optional<std::int64_t> MsLeft(std::size_t rowsLeft) const;

private:
    std::int64_t m_tickMs;
    std::vector<std::int64_t> m_rowMs;  // ring of the last rows' times
    std::size_t m_next = 0;             // where the next row's time goes
    std::size_t m_count = 0;            // rows in the ring
    std::int64_t m_sumMs = 0;           // of the rows in the ring
    std::optional<std::int64_t> m_lastMs;
};

} // namespace trevanil_host
