// The host's progress line and its estimates (over the run and over the last rows), the
// counting of the dialog's list, the run's state file and the texts about an unfinished run.
#include <gtest/gtest.h>

#include "progress/pace_window.h"
#include "progress/progress_text.h"
#include "progress/record_texts.h"
#include "progress/run_state.h"
#include "result_kinds.h"

namespace trevanil_host {
namespace {

constexpr std::int64_t kTick = 1800;

TEST(ProgressLine, BothLanguagesWhileRunningAndAtTheEnd)
{
    const RunCounts counts{37, 500, 35, 2};
    const std::optional<std::int64_t> left = 463 * kTick;  // the rows left at the tick
    EXPECT_EQ(u8"第 37 / 500 行 · 成功 35 · 失败 2 · 约剩 14 分钟",
              FormatProgressLine(counts, RunPhase::Running, left, false));
    EXPECT_EQ(u8"Row 37 of 500 · 35 succeeded · 2 failed · about 14 min left",
              FormatProgressLine(counts, RunPhase::Running, left, true));
    EXPECT_EQ(u8"Row 500 of 500 · 498 succeeded · 2 failed · finished",
              FormatProgressLine({500, 500, 498, 2}, RunPhase::Ended, std::nullopt, true));
    EXPECT_EQ(u8"第 3 / 500 行 · 成功 3 · 失败 0 · 已中断",
              FormatProgressLine({3, 500, 3, 0}, RunPhase::Interrupted, 1000, false));
    // Hours, whole hours, under half a minute, and no estimate at all.
    EXPECT_EQ(u8"Row 0 of 2000 · 0 succeeded · 0 failed · about 1 h left",
              FormatProgressLine({0, 2000, 0, 0}, RunPhase::Running, 3600000, true));
    EXPECT_EQ(u8"第 0 / 2000 行 · 成功 0 · 失败 0 · 约剩 1 小时 5 分钟",
              FormatProgressLine({0, 2000, 0, 0}, RunPhase::Running, 65 * 60000, false));
    EXPECT_EQ(u8"Row 9 of 10 · 9 succeeded · 0 failed · less than 1 min left",
              FormatProgressLine({9, 10, 9, 0}, RunPhase::Running, 29999, true));
    EXPECT_EQ(u8"Row 9 of 10 · 9 succeeded · 0 failed · about 1 min left",
              FormatProgressLine({9, 10, 9, 0}, RunPhase::Running, 30000, true));
    EXPECT_EQ(u8"Row 10 of 10 · 9 succeeded · 1 failed",
              FormatProgressLine({10, 10, 9, 1}, RunPhase::Running, std::nullopt, true));
}

// Rows of `rowMs` each, from `nowMs` on; returns the time after the last.
std::int64_t Rows(CPaceWindow& pace, std::size_t rows, std::int64_t rowMs, std::int64_t nowMs)
{
    for (std::size_t i = 0; i < rows; ++i) pace.RowDone(nowMs += rowMs);
    return nowMs;
}

TEST(PaceWindow, FollowsTheLastRowsNotTheWholeRun)
{
    constexpr std::int64_t kSlow = 5000;
    CPaceWindow pace(kTick, 20);
    pace.Start(1000);
    std::int64_t now = Rows(pace, 100, kTick, 1000);
    EXPECT_EQ(100 * kTick, pace.MsLeft(100));
    // Half the window slow: half and half.
    now = Rows(pace, 10, kSlow, now);
    EXPECT_EQ(100 * (10 * kTick + 10 * kSlow) / 20, pace.MsLeft(100));
    // The window all slow: the slow pace alone, where the run's average is still near the tick.
    now = Rows(pace, 20, kSlow, now);
    EXPECT_EQ(100 * kSlow, pace.MsLeft(100));
    const std::int64_t runAverageMs = (now - 1000) / 130;
    EXPECT_LT(100 * runAverageMs, 100 * (kTick + kSlow) / 2);
    // Rows seen several at once in a poll: the window still spans its rows' time.
    for (int poll = 0; poll < 4; ++poll) {
        now += 5 * kTick;
        for (int row = 0; row < 5; ++row) pace.RowDone(now);
    }
    EXPECT_EQ(7 * kTick, pace.MsLeft(7));
}

TEST(PaceWindow, LeansOnTheTickUntilRowsAreMeasured)
{
    CPaceWindow pace(kTick);
    EXPECT_EQ(2000 * kTick, pace.MsLeft(2000));
    EXPECT_FALSE(pace.MsLeft(0));
    EXPECT_FALSE(CPaceWindow(0).MsLeft(10));
    // One row ten ticks long moves the estimate up, but less than half the way.
    pace.Start(0);
    const std::int64_t now = Rows(pace, 1, 10 * kTick, 0);
    const std::int64_t early = *pace.MsLeft(100);
    EXPECT_GT(early, 100 * kTick);
    EXPECT_LT(early, 100 * (kTick + 10 * kTick) / 2);
    // Once the window is full the tick no longer weighs.
    Rows(pace, CPaceWindow::kDefaultRows - 1, 10 * kTick, now);
    EXPECT_EQ(100 * 10 * kTick, pace.MsLeft(100));
    // A new start forgets the rows; without a start the first row only starts the clock.
    pace.Start(0);
    EXPECT_EQ(100 * kTick, pace.MsLeft(100));
    CPaceWindow unstarted(kTick, 1);
    unstarted.RowDone(500000);
    EXPECT_EQ(kTick, unstarted.MsLeft(1));
    unstarted.RowDone(500000 + 3 * kTick);
    EXPECT_EQ(3 * kTick, unstarted.MsLeft(1));
    // A clock that went back: that row took no time, and the rows after count from there.
    unstarted.RowDone(500000);
    EXPECT_EQ(0, unstarted.MsLeft(1));
    unstarted.RowDone(500000 + kTick);
    EXPECT_EQ(kTick, unstarted.MsLeft(1));
}

RunState SampleState()
{
    RunState state;
    state.state = RunStateKind::Running;
    state.list = u8"C:\\设备\\devices.csv";
    state.results = u8"C:\\设备\\devices-results.csv";
    state.retry = u8"C:\\设备\\devices-retry.csv";
    state.rows = 500;
    state.done = 37;
    state.succeeded = 35;
    state.failed = 2;
    state.started = "2026-12-09 05:01:02";
    state.updated = "2026-12-09 05:02:09";
    state.pid = 4242;
    state.processStart = 133000000000000000ull;
    return state;
}

void ExpectSame(const RunState& a, const RunState& b)
{
    EXPECT_EQ(a.state, b.state);
    EXPECT_EQ(a.list, b.list);
    EXPECT_EQ(a.results, b.results);
    EXPECT_EQ(a.retry, b.retry);
    EXPECT_EQ(a.rows, b.rows);
    EXPECT_EQ(a.done, b.done);
    EXPECT_EQ(a.succeeded, b.succeeded);
    EXPECT_EQ(a.failed, b.failed);
    EXPECT_EQ(a.started, b.started);
    EXPECT_EQ(a.updated, b.updated);
    EXPECT_EQ(a.pid, b.pid);
    EXPECT_EQ(a.processStart, b.processStart);
}

TEST(RunStateFile, ReadsWhatItWritesInEveryState)
{
    for (RunStateKind kind : {RunStateKind::Running, RunStateKind::Ended, RunStateKind::Interrupted}) {
        RunState state = SampleState();
        state.state = kind;
        const std::optional<std::string> text = FormatRunState(state);
        ASSERT_TRUE(text);
        const std::optional<RunState> read = ParseRunState(*text);
        ASSERT_TRUE(read) << *text;
        ExpectSame(state, *read);
    }
    // LF line ends, blank lines and keys of a later version are fine.
    std::string text = *FormatRunState(SampleState());
    std::string lf;
    for (char c : text)
        if (c != '\r') lf += c;
    lf += "\nnew_key=whatever\n";
    ASSERT_TRUE(ParseRunState(lf));
    ExpectSame(SampleState(), *ParseRunState(lf));
    // A text with a line break cannot be written.
    RunState broken = SampleState();
    broken.retry = "C:\\a\r\nstate=ended";
    EXPECT_FALSE(FormatRunState(broken));
}

TEST(RunStateFile, RefusesWhatItDidNotWrite)
{
    const std::string good = *FormatRunState(SampleState());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        return text.replace(at, from.size(), to);
    };
    const std::string cases[] = {
        "",
        good.substr(0, good.size() / 2),                             // cut: fields missing
        replaced("trevanil-run 1", "trevanil-run 2"),                // another format
        replaced("state=running", "state=paused"),                   // no such state
        replaced("done=37", "done=3x"),                              // not a number
        replaced("done=37", "done=-37"),
        replaced("rows=500", "rows=1234567890123456789"),            // too large
        replaced("rows=500", "rows=20"),                             // more done than rows
        replaced("failed=2", "failed=3"),                            // counts that do not add up
        replaced("list=", "list=x\r\nlist="),                        // a field twice
        replaced("pid=4242", "pid"),                                 // no "="
        replaced("retry=C", "retry=\r\nold_retry=C"),                // an empty path
    };
    for (const std::string& text : cases) EXPECT_FALSE(ParseRunState(text)) << text;
}

TEST(UnfinishedRun, SaysHowFarWhenAndWhereInBothLanguages)
{
    const RunState state = SampleState();
    for (bool english : {false, true}) {
        const std::string ask = UnfinishedRunText(state, english, RetryListUse::Ask);
        for (const std::string& part : {state.list, state.retry, state.updated, std::string("37"), std::string("500")})
            EXPECT_NE(std::string::npos, ask.find(part)) << part << " in " << ask;
        EXPECT_NE(ask, UnfinishedRunText(state, english, RetryListUse::Loaded));
        EXPECT_NE(std::string::npos, UnfinishedRunText(state, english, RetryListUse::Hint).find("--resume"));
    }
    EXPECT_NE(std::string::npos, UnfinishedRunText(state, true, RetryListUse::Ask).find("did not end"));
    EXPECT_NE(std::string::npos, UnfinishedRunText(state, false, RetryListUse::Ask).find(u8"没有结束"));
    EXPECT_NE(RecordPlaceText("r", "t", true, false, true), RecordPlaceText("r", "t", false, false, true));
    EXPECT_NE(RecordPlaceText("r", "t", false, true, true), RecordPlaceText("r", "t", false, false, true));
}

} // namespace
} // namespace trevanil_host
