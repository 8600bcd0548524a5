// Who may use a connection while another call works on it: one write per address, the
// host's close against a write, and waits that end. Also run under ThreadSanitizer.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "registry_fixture.h"

namespace {

using Take = PuManager::RestartTake;
using namespace std::chrono_literals;

// The longest a test waits for a thread that should long have finished.
constexpr auto kSafetyNet = 20s;

}  // namespace

// Two host threads write one new address. While the first one's login is slow, the
// second must not log in too (its login dropped the first one's record in mid-write):
// it waits, and gives up with "device busy" when the first write does not end in time.
TEST_F(RegistryTest, ASecondWriterOfAnAddressWaitsForTheFirstInsteadOfLoggingIn)
{
    UseWaitLimit(50ms);
    registry->SetLoginInfo("u", "p");
    std::mutex lock;
    std::condition_variable changed;
    int connets = 0;
    bool secondDone = false;
    v7->duringConnet = [&] {
        std::unique_lock<std::mutex> hold(lock);
        if (++connets != 1) {
            changed.notify_all();
            return;
        }
        // The first login lasts until the second writer has given up or logged in.
        changed.notify_all();
        changed.wait_for(hold, kSafetyNet, [&] { return secondDone || connets > 1; });
    };

    std::uint32_t firstTicket = 0;
    int firstId = 0, firstCode = 1;
    auto first = std::async(std::launch::async, [&] { return Write("10.0.0.9", &firstId, &firstCode, &firstTicket); });
    {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait_for(hold, kSafetyNet, [&] { return connets == 1; });
        ASSERT_EQ(connets, 1);
    }
    int secondId = 0, secondCode = 1;
    const bool second = Write("10.0.0.9", &secondId, &secondCode);
    {
        std::lock_guard<std::mutex> hold(lock);
        secondDone = true;
    }
    changed.notify_all();
    ASSERT_TRUE(first.get()) << firstCode;
    v7->duringConnet = nullptr;

    EXPECT_FALSE(second);
    EXPECT_EQ(secondCode, kErrPuBusy);
    EXPECT_EQ(connets, 1) << "one login for the address";
    EXPECT_EQ(registry->TakePuOnline(firstId, firstTicket), Take::Taken) << "the first write kept its record";

    // Once the first write has ended, the next one goes through on a new login.
    std::uint32_t thirdTicket = 0;
    int thirdId = 0, thirdCode = 1;
    registry->SetLoginInfo("u", "p");
    ASSERT_TRUE(registry->CloseRestarted(firstId, &thirdCode));
    EXPECT_TRUE(Write("10.0.0.9", &thirdId, &thirdCode, &thirdTicket)) << thirdCode;
    EXPECT_NE(thirdTicket, 0u);
}

// A write to a device whose restart hangs inside its library waits a bounded time,
// serving the host thread's messages meanwhile, then fails with "device busy"; the
// restart is not disturbed.
TEST_F(RegistryTest, AWriteBehindAHungRestartGivesUp)
{
    std::atomic<int> served{0};
    UseWaitLimit(50ms, [&] { ++served; });
    int id = 0, code = 1;
    std::uint32_t ticket = 0;
    ASSERT_TRUE(Write("10.0.0.4", &id, &code, &ticket));
    ASSERT_EQ(registry->TakePuOnline(id, ticket), Take::Taken);  // the restart holds it from here

    int laterId = 0, laterCode = 1;
    auto later = std::async(std::launch::async, [&] { return Write("10.0.0.4", &laterId, &laterCode); });
    if (later.wait_for(kSafetyNet) != std::future_status::ready) {
        registry->CloseRestarted(id, &code);  // lets the waiting write go before failing
        FAIL() << "the write waited for the restart without end";
    }
    EXPECT_FALSE(later.get());
    EXPECT_EQ(laterCode, kErrPuBusy);
    EXPECT_GT(served.load(), 0) << "the waiting thread was not served";
    EXPECT_EQ(v7->writeCalls.load(), 1);
    EXPECT_THAT(LoggedMessages("PuManager::WritePu"),
                ::testing::Contains("WritePu fail, its restart did not end. szPuIP-10.0.0.4.err:81"));
    EXPECT_TRUE(registry->CloseRestarted(id, &code));
}

// The host's DisConnect while a write uses the connection: the write keeps its handle,
// its record and its restart; the host hears "device busy" once the wait has run out.
TEST_F(RegistryTest, TheHostsDisConnectDoesNotCloseAConnectionInMidWrite)
{
    UseWaitLimit(50ms);
    int id = 0, code = 1;
    ASSERT_TRUE(Write("10.0.0.5", &id, &code));
    bool closed = true;
    int closeCode = 0;
    v7->duringWrite = [&] { closed = registry->DisConnect(id, &closeCode); };
    std::uint32_t ticket = 0;
    ASSERT_TRUE(Write("10.0.0.5", &id, &code, &ticket));
    v7->duringWrite = nullptr;
    EXPECT_FALSE(closed);
    EXPECT_EQ(closeCode, kErrPuBusy);
    EXPECT_EQ(v7->disconnectCalls.load(), 0);
    EXPECT_EQ(registry->TakePuOnline(id, ticket), Take::Taken);

    // A close that fails gives the connection back as it was.
    ASSERT_TRUE(Write("10.0.0.6", &id, &code));
    v7->disconnectResult = false;
    EXPECT_FALSE(registry->DisConnect(id, &code));
    v7->disconnectResult = true;
    int again = 0;
    ASSERT_TRUE(Write("10.0.0.6", &again, &code));
    EXPECT_EQ(again, id) << "still usable, no new login";
}

// The host's DisConnect that waited for a write closes the connection as the write left
// it: with the handle the write handed out.
TEST_F(RegistryTest, TheHostsDisConnectAfterAWriteClosesTheHandleTheWriteLeft)
{
    std::mutex lock;
    std::condition_variable changed;
    bool closeWaits = false;
    UseWaitLimit(kSafetyNet, [&] {
        std::lock_guard<std::mutex> hold(lock);
        closeWaits = true;
        changed.notify_all();
    });
    int id = 0, code = 1;
    ASSERT_TRUE(Write("10.0.0.7", &id, &code));
    std::future<bool> closed;
    int closeCode = 0;
    v7->handleAfterWrite = 777;
    v7->duringWrite = [&] {
        closed = std::async(std::launch::async, [&] { return registry->DisConnect(id, &closeCode); });
        std::unique_lock<std::mutex> hold(lock);
        changed.wait_for(hold, kSafetyNet, [&] { return closeWaits; });
    };
    ASSERT_TRUE(Write("10.0.0.7", &id, &code));
    v7->duringWrite = nullptr;
    EXPECT_TRUE(closeWaits);
    EXPECT_TRUE(closed.get()) << closeCode;
    std::lock_guard<std::mutex> hold(v7->lock);
    EXPECT_EQ(v7->disconnectHandles, std::vector<int>{777});
}
