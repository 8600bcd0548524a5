#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <new>
#include <mutex>
#include <set>
#include <thread>
#include <vector>
#include "shared_registry.h"

namespace {

// A registry that counts the live ones.
class FakeRegistry {
public:
    explicit FakeRegistry(std::atomic<int>* alive = nullptr) : m_alive(alive) { if (m_alive) ++*m_alive; }
    ~FakeRegistry() { if (m_alive) --*m_alive; }

private:
    std::atomic<int>* m_alive;
};

// The home thread is the one that made the registry; posts are counted, not delivered.
class FakeHome : public IRegistryHome {
public:
    struct Posts {
        std::atomic<int> releases{0}, retries{0};
        std::atomic<bool> reachable{true};
    };
    explicit FakeHome(Posts& posts) : m_posts(posts) {}
    bool IsHomeThread() const override { return std::this_thread::get_id() == m_thread; }
    bool PostRelease() override { return m_posts.reachable && ++m_posts.releases; }
    bool PostRetry() override { return m_posts.reachable && ++m_posts.retries; }

private:
    Posts& m_posts;
    const std::thread::id m_thread = std::this_thread::get_id();
};

TEST(SharedRegistry, LiveOwnersShareOneAndTheLastDestroysIt)
{
    std::atomic<int> alive{0};
    SharedRegistry<FakeRegistry> shared;
    int made = 0;
    auto make = [&] { ++made; return std::make_unique<FakeRegistry>(&alive); };
    auto first = shared.Acquire(make);
    auto second = shared.Acquire(make);
    EXPECT_EQ(first, second);
    EXPECT_EQ(1, made);
    first.reset();
    EXPECT_EQ(1, alive.load());
    auto restart = shared.Current();  // a pending restart's share
    second.reset();
    EXPECT_EQ(1, alive.load()) << "a pending restart keeps the registry alive";
    restart.reset();
    EXPECT_EQ(0, alive.load());
    EXPECT_EQ(nullptr, shared.Current());
    auto third = shared.Acquire(make);
    EXPECT_EQ(2, made) << "a control made after the last one went gets a new registry";
    third.reset();

    // A registry that cannot be made leaves nothing behind (and no lock taken).
    EXPECT_THROW(shared.Acquire([]() -> std::unique_ptr<FakeRegistry> { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_EQ(nullptr, shared.Acquire([] { return std::unique_ptr<FakeRegistry>(); }));
    EXPECT_NE(nullptr, shared.Acquire(make));
}

// Making a registry loads the device libraries and destroying one releases them; the two
// must never overlap, whichever thread drops the last share.
struct Libraries {
    std::mutex lock;
    std::condition_variable changed;
    bool loaded = false;
    bool releasing = false;
    bool overlapped = false;
    bool acquireComing = false;
};

class LoadingRegistry {
public:
    explicit LoadingRegistry(Libraries& libraries) : m_libraries(libraries)
    {
        std::lock_guard<std::mutex> lock(libraries.lock);
        if (libraries.releasing) libraries.overlapped = true;
        libraries.loaded = true;
        libraries.changed.notify_all();
    }
    ~LoadingRegistry()
    {
        std::unique_lock<std::mutex> lock(m_libraries.lock);
        m_libraries.releasing = true;
        m_libraries.changed.notify_all();
        // A while for a concurrent Acquire to load now, as it must not.
        m_libraries.changed.wait(lock, [&] { return m_libraries.acquireComing; });
        m_libraries.changed.wait_for(lock, std::chrono::milliseconds(100), [&] { return m_libraries.overlapped; });
        m_libraries.loaded = false;
        m_libraries.releasing = false;
    }

private:
    Libraries& m_libraries;
};

TEST(SharedRegistry, AControlMadeWhileTheLastRegistryIsDestroyedWaitsThenLoadsAgain)
{
    Libraries libraries;
    SharedRegistry<LoadingRegistry> shared;
    auto make = [&] { return std::make_unique<LoadingRegistry>(libraries); };
    auto restartsShare = shared.Acquire(make);
    std::thread restart([&] { restartsShare.reset(); });  // the last owner is a restart
    {
        std::unique_lock<std::mutex> lock(libraries.lock);
        libraries.changed.wait(lock, [&] { return libraries.releasing; });
        libraries.acquireComing = true;
        libraries.changed.notify_all();
    }
    auto controlsShare = shared.Acquire(make);
    restart.join();
    ASSERT_NE(nullptr, controlsShare);
    EXPECT_FALSE(libraries.overlapped);
    EXPECT_TRUE(libraries.loaded) << "the new control's registry has its libraries";
}

TEST(SharedRegistry, ConcurrentAcquiresMakeOneRegistry)
{
    SharedRegistry<FakeRegistry> shared;
    std::atomic<int> made{0};
    std::vector<std::shared_ptr<FakeRegistry>> got(8);
    std::vector<std::thread> threads;
    for (auto& slot : got)
        threads.emplace_back([&] { slot = shared.Acquire([&] { ++made; return std::make_unique<FakeRegistry>(); }); });
    for (auto& t : threads) t.join();
    EXPECT_EQ(1, made.load());
    for (auto& r : got) EXPECT_EQ(got[0], r);
}

TEST(SharedRegistry, ALastOwnerOffTheHomeThreadLeavesTheRegistryToItsHome)
{
    std::atomic<int> alive{0};
    FakeHome::Posts posts;
    SharedRegistry<FakeRegistry> shared([&] { return std::make_unique<FakeHome>(posts); });
    int made = 0;
    auto make = [&] { ++made; return std::make_unique<FakeRegistry>(&alive); };
    const auto dropOnAnotherThread = [](std::shared_ptr<FakeRegistry>& share) {
        std::thread runner([&] { share.reset(); });
        runner.join();
    };

    auto control = shared.Acquire(make);
    auto restart = shared.Current();
    control.reset();  // the host destroys its control while a restart is pending
    dropOnAnotherThread(restart);
    EXPECT_EQ(1, alive.load()) << "not destroyed on the runner";
    EXPECT_EQ(1, posts.releases.load());
    EXPECT_TRUE(shared.PostRetryToHome());
    EXPECT_EQ(1, posts.retries.load());

    // A control made before the home thread got to it takes the orphan over.
    control = shared.Acquire(make);
    EXPECT_EQ(1, made);
    shared.ReleaseOrphan();  // the post arrives late: nothing to do
    EXPECT_EQ(1, alive.load());

    restart = shared.Current();
    control.reset();
    dropOnAnotherThread(restart);
    EXPECT_EQ(2, posts.releases.load());
    shared.ReleaseOrphan();  // on the home thread
    EXPECT_EQ(0, alive.load());
    EXPECT_FALSE(shared.Exists());
    EXPECT_FALSE(shared.PostRetryToHome()) << "no registry, no home";

    // The last owner on the home thread destroys at once; with the home thread out of
    // reach, the last owner destroys wherever it is.
    control = shared.Acquire(make);
    control.reset();
    EXPECT_EQ(0, alive.load());
    EXPECT_EQ(2, posts.releases.load());
    control = shared.Acquire(make);
    posts.reachable = false;
    dropOnAnotherThread(control);
    EXPECT_EQ(0, alive.load());
    EXPECT_FALSE(shared.Exists());
}

// The module's registry goes with the module's statics, inside DllMain: an orphan still
// waiting for its home thread then is not destroyed there (nor its libraries released).
TEST(SharedRegistry, AnOrphanLeftAtTheEndIsNotDestroyedWithTheSharedRegistry)
{
    std::atomic<int> alive{0};
    FakeHome::Posts posts;
    FakeRegistry* left = nullptr;
    FakeHome* leftHome = nullptr;
    {
        SharedRegistry<FakeRegistry> shared([&] {
            auto home = std::make_unique<FakeHome>(posts);
            leftHome = home.get();
            return home;
        });
        auto restart = shared.Acquire([&] {
            auto registry = std::make_unique<FakeRegistry>(&alive);
            left = registry.get();
            return registry;
        });
        std::thread runner([&] { restart.reset(); });
        runner.join();
        ASSERT_EQ(1, posts.releases.load());
    }
    EXPECT_EQ(1, alive.load()) << "left to the process's end";
    delete left;  // the process's end, here
    delete leftHome;
}

// Hold points for the race below.
struct HeldHooks {
    static inline std::function<void()> lastShareGone, acquireWaits;
    static void LastShareGone() { if (lastShareGone) lastShareGone(); }
    static void AcquireWaits() { if (acquireWaits) acquireWaits(); }
};

// The home thread acquires just after the last share went elsewhere and before that
// owner has left the registry as an orphan. The Acquire must wake and take the orphan
// over: on the home thread nothing else would ever wake it (the release it waits for is
// a message to its own loop).
TEST(SharedRegistry, AnAcquireRacingTheLastShareTakesTheOrphanOver)
{
    std::atomic<int> alive{0};
    FakeHome::Posts posts;
    SharedRegistry<FakeRegistry, HeldHooks> shared([&] { return std::make_unique<FakeHome>(posts); });
    int made = 0;
    auto make = [&] { ++made; return std::make_unique<FakeRegistry>(&alive); };
    auto restart = shared.Acquire(make);

    std::mutex lock;
    std::condition_variable changed;
    bool shareGone = false, acquireWaiting = false;
    HeldHooks::lastShareGone = [&] {
        std::unique_lock<std::mutex> hold(lock);
        shareGone = true;
        changed.notify_all();
        changed.wait(hold, [&] { return acquireWaiting; });
    };
    HeldHooks::acquireWaits = [&] {
        std::lock_guard<std::mutex> hold(lock);
        acquireWaiting = true;
        changed.notify_all();
    };
    std::thread runner([&] { restart.reset(); });
    {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [&] { return shareGone; });
    }
    auto control = std::async(std::launch::async, [&] { return shared.Acquire(make); });
    const bool woke = control.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!woke) shared.ReleaseOrphan();  // lets the stuck Acquire go before failing
    runner.join();
    HeldHooks::lastShareGone = nullptr;
    HeldHooks::acquireWaits = nullptr;
    ASSERT_TRUE(woke) << "the Acquire waited for a release that only its own thread could run";
    const auto registry = control.get();
    EXPECT_NE(nullptr, registry);
    EXPECT_EQ(1, made) << "the orphan was taken over, not replaced";
    EXPECT_EQ(1, alive.load());
}

} // namespace
