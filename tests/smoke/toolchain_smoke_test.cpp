// Checks that the toolchain gives real threads and atomics in both builds.
#include <gtest/gtest.h>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

TEST(Toolchain, ThreadsAndMutexesWork)
{
    std::mutex lock;
    std::atomic<int> counter{0};
    int guarded = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int j = 0; j < 1000; ++j) {
                ++counter;
                std::lock_guard<std::mutex> hold(lock);
                ++guarded;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter.load(), 4000);
    EXPECT_EQ(guarded, 4000);
}
