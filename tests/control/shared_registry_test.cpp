#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <new>
#include <mutex>
#include <set>
#include <thread>
#include <vector>
#include "shared_registry.h"

namespace {

// A registry with the restart operations only; records are marked ids.
class FakeRegistry {
public:
    explicit FakeRegistry(std::atomic<int>* alive = nullptr) : m_alive(alive) { if (m_alive) ++*m_alive; }
    ~FakeRegistry() { if (m_alive) --*m_alive; }

    void Mark(int id) { std::lock_guard<std::mutex> l(m_lock); m_marked.insert(id); }
    bool TakePuOnline(int* id)
    {
        std::lock_guard<std::mutex> l(m_lock);
        for (int m : m_marked)
            if (m_taken.insert(m).second) { *id = m; return true; }
        return false;
    }
    void ReturnPuOnline(int id) { std::lock_guard<std::mutex> l(m_lock); m_taken.erase(id); ++m_returned; }
    bool ReRoot(int id, int*) { std::lock_guard<std::mutex> l(m_lock); ++m_restarts[id]; return true; }
    bool DisConnect(int id, int* err)
    {
        std::lock_guard<std::mutex> l(m_lock);
        if (m_failDisconnect.count(id)) { *err = 7; m_failDisconnect.erase(id); return false; }
        m_marked.erase(id);
        m_taken.erase(id);
        return true;
    }

    std::mutex m_lock;
    std::set<int> m_marked, m_taken, m_failDisconnect;
    std::map<int, int> m_restarts;
    int m_returned = 0;

private:
    std::atomic<int>* m_alive;
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

TEST(RestartOneMarked, TakesTheLowestMarkedAndClosesIt)
{
    FakeRegistry registry;
    registry.Mark(5);
    registry.Mark(2);
    RestartOneMarked(registry);
    EXPECT_EQ((std::map<int, int>{{2, 1}}), registry.m_restarts);
    EXPECT_EQ((std::set<int>{5}), registry.m_marked);
    RestartOneMarked(registry);
    RestartOneMarked(registry);  // nothing left: no restart
    EXPECT_EQ((std::map<int, int>{{2, 1}, {5, 1}}), registry.m_restarts);
}

TEST(RestartOneMarked, GivesBackAConnectionWhoseCloseFailed)
{
    FakeRegistry registry;
    registry.Mark(3);
    registry.m_failDisconnect.insert(3);
    RestartOneMarked(registry);
    EXPECT_EQ(1, registry.m_returned);
    EXPECT_TRUE(registry.m_taken.empty());
    RestartOneMarked(registry);  // a later worker takes it again
    EXPECT_EQ(2, registry.m_restarts[3]);
    EXPECT_TRUE(registry.m_marked.empty());
}

TEST(RestartOneMarked, ConcurrentWorkersRestartEachMarkedOnceExactly)
{
    FakeRegistry registry;
    for (int id = 1; id <= 16; ++id) registry.Mark(id);
    std::vector<std::thread> workers;
    for (int i = 0; i < 16; ++i) workers.emplace_back([&] { RestartOneMarked(registry); });
    for (auto& w : workers) w.join();
    EXPECT_EQ(16u, registry.m_restarts.size());
    for (auto& [id, count] : registry.m_restarts) EXPECT_EQ(1, count) << id;
}

} // namespace
