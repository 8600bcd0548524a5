// The steps a restart's runner takes, driven without a clock: each step answers when the
// runner would run it again.
#include <condition_variable>
#include <future>
#include <mutex>

#include "registry_fixture.h"
#include "reroot_step.h"

namespace {

using Clock = ReRootSchedule::Clock;
using namespace std::chrono_literals;

constexpr auto kSafetyNet = 20s;

bool Logged(const std::string& text)
{
    for (const std::string& message : LoggedMessages("ReRootThread"))
        if (message == text) return true;
    return false;
}

}  // namespace

// A write that hangs keeps its record Busy: the restart it holds up waits a bounded
// number of retries, says so once, and gives up with a line of its own.
TEST_F(RegistryTest, ARestartHeldUpByAHungWriteGivesUpAfterItsRetries)
{
    int id = 0, code = 1;
    ReRootSchedule schedule;
    ASSERT_TRUE(Write("10.0.0.8", &id, &code, &schedule.restartTicket));
    schedule.lPuID = id;

    std::mutex lock;
    std::condition_variable changed;
    bool inWrite = false, letGo = false;
    v7->duringWrite = [&] {
        std::unique_lock<std::mutex> hold(lock);
        inWrite = true;
        changed.notify_all();
        changed.wait_for(hold, kSafetyNet, [&] { return letGo; });
    };
    v7->writeResult = false;  // the hung write fails in the end: the restart stays owed to no one
    auto hung = std::async(std::launch::async, [&] {
        int laterId = 0, laterCode = 1;
        return Write("10.0.0.8", &laterId, &laterCode);
    });
    {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait_for(hold, kSafetyNet, [&] { return inWrite; });
    }

    const Clock::time_point now{};
    int steps = 0;
    std::optional<Clock::time_point> again;
    while ((again = RunReRootStep(*registry, schedule, now)) && steps <= ReRootSchedule::kBusyRetries) {
        EXPECT_EQ(*again, now + ReRootSchedule::kBusyRetry);
        ++steps;
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        letGo = true;
    }
    changed.notify_all();
    EXPECT_FALSE(hung.get());
    v7->duringWrite = nullptr;

    EXPECT_FALSE(again.has_value()) << "the restart polled for ever";
    EXPECT_EQ(steps, ReRootSchedule::kBusyRetries);
    EXPECT_EQ(v7->reRootCalls.load(), 0);
    EXPECT_TRUE(Logged("ReRoot waits for a write. lPuID:" + std::to_string(id)));
    EXPECT_TRUE(Logged("ReRoot given up, the write did not end. lPuID:" + std::to_string(id)));
    EXPECT_EQ(LoggedMessages("ReRootThread").size(), 2u) << "one line for the wait, one for giving up";
}

// A close that keeps failing is retried for this connection alone, then given up; a
// later write to the address logs in anew and never waits on the closing record.
TEST_F(RegistryTest, AFailedCloseIsRetriedThenGivenUp)
{
    int id = 0, code = 1;
    ReRootSchedule schedule;
    ASSERT_TRUE(Write("10.0.0.9", &id, &code, &schedule.restartTicket));
    schedule.lPuID = id;
    v7->disconnectResult = false;

    const Clock::time_point now{};
    for (int attempt = 0; attempt <= ReRootSchedule::kCloseRetries - 1; ++attempt)
        ASSERT_EQ(RunReRootStep(*registry, schedule, now), now + ReRootSchedule::kCloseRetryDelay) << attempt;
    EXPECT_EQ(RunReRootStep(*registry, schedule, now), std::nullopt);
    EXPECT_EQ(v7->reRootCalls.load(), 1);
    EXPECT_EQ(v7->disconnectCalls.load(), 1 + ReRootSchedule::kCloseRetries);
    EXPECT_TRUE(Logged("DisConnect given up. lPuID:" + std::to_string(id) + ",err:1"));

    int again = 0;
    std::uint32_t ticket = 0;
    ASSERT_TRUE(Write("10.0.0.9", &again, &code, &ticket));
    EXPECT_NE(again, id);
}
