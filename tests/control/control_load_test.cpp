// The control under the load hosts have put on it: thousands of quick writes, and
// controls that come and go while restarts end and the host calls the flat API itself.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <string>
#include <thread>

#include "com_test_support.h"

using namespace orvex_test;

namespace {

constexpr DISPID kWritePu = 1, kConnect = 2, kIsUseDomain = 4;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Device d (0..24) of the simulated fleet is 9.9.a.b with a and b in 1..5. Each part of
// such an address can be written "5", "05" or "005", which gives every device 81
// spellings (0..80); the registry tells address texts apart byte for byte, so each
// spelling is a connection of its own, while all reach the same simulated device.
constexpr int kFleet = 25;
std::string Spelling(int device, int spelling)
{
    const int parts[4] = {9, 9, 1 + device / 5, 1 + device % 5};
    std::string text;
    for (int part : parts) {
        if (!text.empty()) text += '.';
        text += std::string(spelling % 3, '0') + std::to_string(part);
        spelling /= 3;
    }
    return text;
}

TEST(Restarts, TwoThousandQuickWritesEachGetTheirRestart)
{
    ComApartment apartment;
    DeviceStore store("store_many.ini");
    for (int device = 0; device < kFleet; ++device)
        ASSERT_EQ(0, store.Run({"add", Spelling(device, 0), "--protocol", "old"}));
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    ASSERT_TRUE(SetReRootDelay(3000));  // hundreds of restarts wait at once
    const int threadsBefore = ThreadCount();

    constexpr int kWrites = 2000;
    int mostThreads = threadsBefore;
    for (int i = 0; i < kWrites; ++i) {
        const std::wstring ip = Wide(Spelling(i % kFleet, i / kFleet));
        ASSERT_EQ(1, Call(control.get(), kWritePu, {ip.c_str(), 5510, L"10.2.0.1", 6000, L"PU", L"n", ip.c_str()}).value)
            << i;
        if (i % 20 == 0) mostThreads = std::max(mostThreads, ThreadCount());
    }
    // A few runners, not a thread for each waiting restart.
    EXPECT_LE(mostThreads, threadsBefore + 6);

    // Each restart takes one marked connection, restarts its device and drops the record:
    // when every restart has run, no PU id is left.
    EventRecorder sink(control.get());
    const auto allGone = [&] {
        sink.events.clear();
        for (int lPuID = 1; lPuID <= kWrites; ++lPuID) Call(control.get(), kIsUseDomain, {lPuID});
        for (const Event& e : sink.events)
            if (e.code != 45) return false;
        return sink.events.size() == static_cast<size_t>(kWrites);
    };
    EXPECT_TRUE(PollUntil(allGone, 180000));
    for (int device = 0; device < kFleet; ++device) EXPECT_LE(1, store.Restarts(Spelling(device, 0))) << device;
}

// The module's flat exports, called as a host that uses the flat API itself calls them.
using FlatFn2 = std::int32_t(__cdecl*)(std::intptr_t, std::intptr_t);
using FlatFn4 = std::int32_t(__cdecl*)(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t);
template <class Fn>
Fn FlatExport(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(OrvexModule(), name)));
}

TEST(LibraryLifetime, ControlsComeAndGoWhileRestartsEndAndTheHostCallsTheFlatApi)
{
    ComApartment apartment;
    DeviceStore store("store_lifetime_load.ini");
    // Newer-protocol devices, whose writes go through the camera library, and older ones
    // for a second host thread. Writes go round the devices, so that no device is written
    // while its last restart is still due.
    constexpr int kNewer = 8, kOlder = 4;
    const auto newer = [](int i) { return "10.8.0." + std::to_string(1 + i % kNewer); };
    const auto older = [](int i) { return "10.8.1." + std::to_string(1 + i % kOlder); };
    for (int i = 0; i < kNewer; ++i)
        ASSERT_EQ(0, store.Run({"add", newer(i), "--protocol", "new", "--user", "admin", "--password", "pw"}));
    for (int i = 0; i < kOlder; ++i) ASSERT_EQ(0, store.Run({"add", older(i), "--protocol", "old"}));
    ASSERT_TRUE(OrvexModule());
    // Restarts end soon after their writes, so the last owner of a registry is often a
    // restart, which releases the libraries while the next control is being made.
    ASSERT_TRUE(SetReRootDelay(15));
    auto initDll = FlatExport<FlatFn4>("IPC_InitDll");
    auto getVersion = FlatExport<FlatFn2>("IPC_GetVersion");
    ASSERT_TRUE(initDll && getVersion);

    // The host's flat calls: it loads the libraries itself (so they stay mapped for its own
    // calls), loads again now and then, and calls on whatever the registries do.
    std::atomic<bool> stopFlat{false};
    std::atomic<long> flatCalls{0}, flatWrong{0};
    std::thread flatHost([&] {
        for (long n = 0; !stopFlat; ++n) {
            if (n % 64 == 0) {
                std::int32_t err = 0;
                if (initDll(reinterpret_cast<std::intptr_t>("ravicore.dll"), 3300, 0, reinterpret_cast<std::intptr_t>(&err)) != 1 ||
                    initDll(reinterpret_cast<std::intptr_t>("ravimedia.dll"), 3000, 0, reinterpret_cast<std::intptr_t>(&err)) != 1)
                    ++flatWrong;
            }
            std::uint32_t version = 0;
            std::int32_t err = 0;
            const std::int32_t status = getVersion(reinterpret_cast<std::intptr_t>(&version), reinterpret_cast<std::intptr_t>(&err));
            if (status != 3 && !(status == 1 && version != 0)) ++flatWrong;  // 3: released just now
            ++flatCalls;
        }
    });

    // A second host thread of its own apartment, with controls of its own on older devices.
    std::atomic<bool> stopOther{false};
    std::atomic<long> otherWrites{0}, otherFailures{0};
    std::thread otherHost([&] {
        ComApartment otherApartment;
        std::minstd_rand random(11);
        for (int i = 0; !stopOther; ++i) {
            ComPtr<IDispatch> control = CreateControl();
            const std::wstring ip = Wide(older(i));
            if (!control || Call(control.get(), kWritePu, {ip.c_str(), 5510, L"10.2.0.1", 6000, L"PU", L"n", ip.c_str()}).value != 1)
                ++otherFailures;
            ++otherWrites;
            control.reset();
            Sleep(random() % 30);
        }
    });

    constexpr int kCycles = 150;
    int failures = 0;
    std::minstd_rand random(7);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        ComPtr<IDispatch> control = CreateControl();
        ASSERT_TRUE(control) << cycle;
        const std::wstring ip = Wide(newer(cycle));
        Call(control.get(), kConnect, {ip.c_str(), 5510, L"admin", L"pw"});
        if (Call(control.get(), kWritePu, {ip.c_str(), 5510, L"10.2.0.1", 7000, L"PU", L"n", ip.c_str()}).value != 1) {
            ++failures;
            ADD_FAILURE() << "cycle " << cycle << ": the write did not reach the camera library";
        }
        control.reset();
        Sleep(random() % 40);  // the next control comes at another moment of the restart each time
    }
    stopOther = true;
    otherHost.join();

    // Every restart ends and the last registry goes; the host's calls ran all along.
    EXPECT_TRUE(PollUntil([] { return ModuleCanUnloadNow() == S_OK; }, 60000));
    stopFlat = true;
    flatHost.join();
    EXPECT_EQ(0, failures);
    EXPECT_EQ(0, otherFailures.load()) << "of " << otherWrites.load();
    EXPECT_EQ(0, flatWrong.load()) << "of " << flatCalls.load();
    EXPECT_LT(0, flatCalls.load());
    for (int i = 0; i < kNewer; ++i) EXPECT_LE(1, store.Restarts(newer(i))) << newer(i);
}

} // namespace
