// The registry used from several threads at once, as the host's thread and the
// control's restart workers do. Also run under ThreadSanitizer.
#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "registry_fixture.h"

namespace {

std::string AddressOf(int n) { return "10.0." + std::to_string(n / 200) + "." + std::to_string(n % 200 + 1); }

}  // namespace

TEST_F(RegistryTest, ConcurrentConnectsNeverShareAnId)
{
    v5->connetResult = true;
    v5->connetCode = 0;
    constexpr int kThreads = 4, kPerThread = 50;
    std::mutex idsLock;
    std::vector<int> ids;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                int id = 0, code = 0;
                std::string ip = AddressOf(t * kPerThread + i);
                if (registry->Connect(&id, ip.c_str(), 5510, &code)) {
                    std::lock_guard<std::mutex> g(idsLock);
                    ids.push_back(id);
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    ASSERT_EQ(ids.size(), static_cast<size_t>(kThreads * kPerThread));
    std::sort(ids.begin(), ids.end());
    for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], static_cast<int>(i) + 1);
}

TEST_F(RegistryTest, ConcurrentTakersGetDistinctConnections)
{
    v5->connetResult = true;
    v5->connetCode = 0;
    constexpr int kRecords = 40, kWorkers = 6;
    for (int n = 0; n < kRecords; ++n) {
        ASSERT_EQ(ConnectTo(AddressOf(n).c_str()), n + 1);
        ASSERT_TRUE(registry->SetPuOnline(n + 1));
    }
    std::mutex takenLock;
    std::vector<int> taken;
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&] {
            int id = 0;
            while (registry->TakePuOnline(&id)) {
                std::lock_guard<std::mutex> g(takenLock);
                taken.push_back(id);
            }
        });
    }
    for (auto& worker : workers) worker.join();
    std::set<int> distinct(taken.begin(), taken.end());
    EXPECT_EQ(taken.size(), static_cast<size_t>(kRecords));
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kRecords));
}

// Writers connect, write and mark while workers take, restart and disconnect; a
// worker whose disconnect fails gives the connection back and another takes it.
TEST_F(RegistryTest, WritersAndRestartWorkersOverlapSafely)
{
    registry->SetLoginInfo("u", "p");
    v5->connetResult = true;
    v5->connetCode = 0;
    constexpr int kDevices = 60;
    std::atomic<int> written{0}, closed{0}, failuresLeft{10};
    std::atomic<bool> writersDone{false};

    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int n = t; n < kDevices; n += 2) {
                int id = 0, code = 1;
                std::string ip = AddressOf(n);
                if (registry->WritePu(ip.c_str(), 5510, "1.2.3.4", 9000, "id", "name", ip.c_str(), &id, &code)) {
                    registry->SetPuOnline(id);
                    ++written;
                }
            }
        });
    }
    for (int w = 0; w < 3; ++w) {
        threads.emplace_back([&] {
            while (true) {
                int id = 0;
                const bool lastRound = writersDone;  // every mark is set once the writers are done
                if (!registry->TakePuOnline(&id)) {
                    if (lastRound) return;
                    std::this_thread::yield();
                    continue;
                }
                int code = 1;
                registry->ReRoot(id, &code);
                if (failuresLeft.fetch_sub(1) > 0) {  // this disconnect "fails"
                    registry->ReturnPuOnline(id);
                    continue;
                }
                if (registry->DisConnect(id, &code)) ++closed;
            }
        });
    }
    threads[0].join();
    threads[1].join();
    writersDone = true;
    for (size_t i = 2; i < threads.size(); ++i) threads[i].join();

    EXPECT_EQ(written, kDevices);
    EXPECT_EQ(closed, kDevices);
    int id = 0;
    EXPECT_FALSE(registry->GetPuOnline(&id));
}
