#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>
#include "due_work_queue.h"

namespace {

using Queue = CDueWorkQueue<int>;
using Clock = Queue::Clock;
using std::chrono::milliseconds;

// Starts a thread whenever the queue asks for a runner, and counts how many run at once.
class Runners {
public:
    explicit Runners(Queue& queue) : m_queue(queue) {}
    ~Runners() { JoinAll(); }

    template <class Run>
    void Post(int item, Clock::time_point due, Run run)
    {
        if (!m_queue.Post(item, due)) return;
        std::lock_guard<std::mutex> lock(m_lock);
        m_threads.emplace_back([this, run] {
            const int now = ++m_running;
            int most = m_most.load();
            while (now > most && !m_most.compare_exchange_weak(most, now)) {}
            m_queue.RunUntilEmpty(run);
            --m_running;
        });
    }
    void JoinAll()
    {
        for (;;) {
            std::vector<std::thread> threads;
            {
                std::lock_guard<std::mutex> lock(m_lock);
                threads.swap(m_threads);
            }
            if (threads.empty()) return;
            for (auto& t : threads) t.join();
        }
    }
    int Most() const { return m_most.load(); }

private:
    Queue& m_queue;
    std::mutex m_lock;
    std::vector<std::thread> m_threads;
    std::atomic<int> m_running{0}, m_most{0};
};

TEST(DueWorkQueue, ThousandsOfItemsFromManyThreadsEachRunOnceOnAFewRunners)
{
    constexpr int kItems = 2000, kPosters = 8;
    Queue queue(4);
    std::vector<std::atomic<int>> runs(kItems);
    const auto run = [&](int& item) noexcept { ++runs[item]; };
    {
        Runners runners(queue);
        std::vector<std::thread> posters;
        for (int p = 0; p < kPosters; ++p)
            posters.emplace_back([&, p] {
                for (int item = p; item < kItems; item += kPosters)
                    runners.Post(item, Clock::now() + milliseconds(item % 7), run);
            });
        for (auto& t : posters) t.join();
        runners.JoinAll();
        EXPECT_LE(runners.Most(), 4);
        EXPECT_GE(runners.Most(), 1);
    }
    EXPECT_EQ(0u, queue.Waiting());
    for (int item = 0; item < kItems; ++item) ASSERT_EQ(1, runs[item].load()) << item;
}

TEST(DueWorkQueue, ItemsRunInTheOrderTheyFallDueAndNotBefore)
{
    Queue queue(1);
    const auto start = Clock::now();
    const int delaysMs[] = {60, 20, 40, 0};
    int runnersAskedFor = 0;
    for (int delay : delaysMs) runnersAskedFor += queue.Post(delay, start + milliseconds(delay)) ? 1 : 0;
    EXPECT_EQ(1, runnersAskedFor) << "one runner serves them all";
    std::vector<std::pair<int, Clock::time_point>> ran;
    std::thread runner([&] { queue.RunUntilEmpty([&](int& item) noexcept { ran.emplace_back(item, Clock::now()); }); });
    runner.join();
    ASSERT_EQ(4u, ran.size());
    for (size_t i = 0; i < ran.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i) * 20, ran[i].first);
        EXPECT_GE(ran[i].second, start + milliseconds(ran[i].first));
    }
}

TEST(DueWorkQueue, WorkWhoseRunnerCouldNotStartWaitsForTheNextRunner)
{
    Queue queue(4);
    std::atomic<int> runs{0};
    EXPECT_FALSE(queue.NeedsRunner()) << "nothing waits";
    ASSERT_TRUE(queue.Post(Queue::Reserve(1), Clock::now()));
    queue.RunnerNotStarted();  // the owner could not start it
    EXPECT_EQ(1u, queue.Waiting());
    EXPECT_TRUE(queue.NeedsRunner()) << "a retry is to start one";
    queue.RunnerNotStarted();
    Runners runners(queue);
    runners.Post(2, Clock::now(), [&](int&) noexcept { ++runs; });
    runners.JoinAll();
    EXPECT_EQ(2, runs.load());
    EXPECT_EQ(0u, queue.Waiting());
}

TEST(DueWorkQueue, AnItemCanRunAgainLaterInItsOwnStorage)
{
    Queue queue(1);
    const auto start = Clock::now();
    ASSERT_TRUE(queue.Post(Queue::Reserve(7), start));
    std::vector<Clock::time_point> ran;
    std::thread runner([&] {
        queue.RunUntilEmpty([&](int& item) noexcept -> std::optional<Clock::time_point> {
            ran.push_back(Clock::now());
            if (ran.size() == 3) return std::nullopt;
            ++item;
            return Clock::now() + milliseconds(20);
        });
    });
    runner.join();
    ASSERT_EQ(3u, ran.size());
    EXPECT_GE(ran[2] - ran[1], milliseconds(20));
    EXPECT_EQ(0u, queue.Waiting());
}

} // namespace
