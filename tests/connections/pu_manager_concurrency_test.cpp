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

using Take = PuManager::RestartTake;

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

// Writers write a few devices over and over while restart workers run the restarts the
// writes scheduled, some of whose closes fail and are retried. No connection is written
// once it has been rebooted, each restart runs at most once, and every device's last
// write is followed by its restart.
TEST_F(RegistryTest, WritesAndTheirRestartsNeverShareAConnection)
{
    registry->SetLoginInfo("u", "p");
    v5->connetResult = true;
    v5->connetCode = 0;
    constexpr int kDevices = 6, kWritesPerWriter = 60;
    struct Restart {
        int lPuID;
        std::uint32_t ticket;
        int device;
    };
    std::mutex queueLock;
    std::vector<Restart> queue;
    std::vector<std::uint32_t> lastTicket(kDevices, 0), takenTicket(kDevices, 0);
    std::atomic<int> failuresLeft{10}, writersLeft{2}, takenTwice{0};
    std::set<std::uint32_t> taken;

    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < kWritesPerWriter; ++n) {
                const int device = (n + t) % kDevices;
                const std::string ip = AddressOf(device);
                int id = 0, code = 1;
                std::uint32_t ticket = 0;
                const WritePuRequest request = GoodRequest(ip.c_str(), 5510, "1.2.3.4", 9000, "id", "name", ip.c_str());
                if (!registry->WritePu(request, &id, &code, &ticket)) continue;
                std::lock_guard<std::mutex> g(queueLock);
                lastTicket[device] = std::max(lastTicket[device], ticket);  // tickets only grow
                queue.push_back({id, ticket, device});
            }
            --writersLeft;
        });
    }
    for (int w = 0; w < 3; ++w) {
        threads.emplace_back([&] {
            for (;;) {
                Restart restart{};
                {
                    std::lock_guard<std::mutex> g(queueLock);
                    if (queue.empty()) {
                        if (writersLeft == 0) return;
                    } else {
                        restart = queue.front();
                        queue.erase(queue.begin());
                    }
                }
                if (restart.ticket == 0) {
                    std::this_thread::yield();
                    continue;
                }
                const Take take = registry->TakePuOnline(restart.lPuID, restart.ticket);
                if (take == Take::Busy) {
                    std::lock_guard<std::mutex> g(queueLock);
                    queue.push_back(restart);
                    continue;
                }
                if (take != Take::Taken) continue;
                {
                    std::lock_guard<std::mutex> g(queueLock);
                    if (!taken.insert(restart.ticket).second) ++takenTwice;
                    takenTicket[restart.device] = std::max(takenTicket[restart.device], restart.ticket);
                }
                int code = 1;
                registry->ReRoot(restart.lPuID, &code);
                if (failuresLeft.fetch_sub(1) > 0) {  // this close "fails", and is retried later
                    registry->ReturnPuOnline(restart.lPuID);
                    std::this_thread::yield();
                }
                registry->CloseRestarted(restart.lPuID, &code);
            }
        });
    }
    for (auto& thread : threads) thread.join();

    EXPECT_EQ(v5->writesToRebooted.load(), 0);
    EXPECT_EQ(takenTwice.load(), 0);
    for (int device = 0; device < kDevices; ++device)
        EXPECT_EQ(takenTicket[device], lastTicket[device]) << "device " << device << "'s last write was restarted";
}
