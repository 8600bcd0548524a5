// The control under the load hosts have put on it: thousands of quick writes, and
// controls that come and go while restarts end and the host calls the flat API itself.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "com_test_support.h"

using namespace orvex_test;

namespace {

constexpr DISPID kWritePu = 1, kConnect = 2, kIsUseDomain = 4;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Device n of the simulated fleet is a.b.c.d with every part in 1..9. Each part can be
// written "5", "05" or "005", which gives every device 81 spellings (0..80); the registry
// tells address texts apart byte for byte, so each spelling is a connection of its own,
// while all reach the same simulated device.
std::string Spelling(int device, int spelling)
{
    const int parts[4] = {1 + device / 729 % 9, 1 + device / 81 % 9, 1 + device / 9 % 9, 1 + device % 9};
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
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    constexpr long kDelayMs = 10000;  // hundreds of restarts wait at once
    ASSERT_TRUE(SetReRootDelay(kDelayMs));
    const int threadsBefore = ThreadCount();

    // A restart ends every connection to its device, a write in progress too. So the
    // devices are written one after the other, each for a third of the delay at most
    // (and at most 80 times): its restarts fall due only after its writes.
    constexpr int kWrites = 2000, kSpellings = 80;
    int mostThreads = threadsBefore;
    int devices = 0;
    ULONGLONG deviceSince = 0;
    for (int i = 0, spelling = kSpellings; i < kWrites; ++i, ++spelling) {
        if (spelling == kSpellings || GetTickCount64() - deviceSince > kDelayMs / 3) {
            ASSERT_EQ(0, store.Run({"add", Spelling(devices++, 0), "--protocol", "old"}));
            deviceSince = GetTickCount64();
            spelling = 0;
        }
        const std::wstring ip = Wide(Spelling(devices - 1, spelling));
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
    for (int device = 0; device < devices; ++device) EXPECT_LE(1, store.Restarts(Spelling(device, 0))) << device;
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
    // Newer-protocol devices, whose writes go through the camera library, written in turn.
    constexpr int kNewer = 8;
    const auto newer = [](int i) { return "10.8.0." + std::to_string(1 + i % kNewer); };
    for (int i = 0; i < kNewer; ++i)
        ASSERT_EQ(0, store.Run({"add", newer(i), "--protocol", "new", "--user", "admin", "--password", "pw"}));
    ASSERT_TRUE(OrvexModule());
    // Restarts end soon after their writes, so the last owner of a registry is often a
    // restart, which releases the libraries while the next control is being made.
    ASSERT_TRUE(SetReRootDelay(15));
    auto initDll = FlatExport<FlatFn4>("IPC_InitDll");
    auto getVersion = FlatExport<FlatFn2>("IPC_GetVersion");
    ASSERT_TRUE(initDll && getVersion);

    // The host's flat calls: it loads the camera library itself once (so that it stays
    // mapped for its own calls) and calls on, whatever the registries load and release
    // meanwhile. The media library is really unloaded each time a registry goes.
    std::atomic<bool> stopFlat{false};
    std::atomic<long> flatCalls{0}, flatWrong{0};
    std::int32_t initErr = 0;
    ASSERT_EQ(1, initDll(reinterpret_cast<std::intptr_t>("ravicore.dll"), 3300, 0,
                         reinterpret_cast<std::intptr_t>(&initErr)));
    std::thread flatHost([&] {
        while (!stopFlat) {
            std::uint32_t version = 0;
            std::int32_t err = 0;
            const std::int32_t status = getVersion(reinterpret_cast<std::intptr_t>(&version), reinterpret_cast<std::intptr_t>(&err));
            if (status != 3 && !(status == 1 && version != 0)) ++flatWrong;  // 3: released just now
            ++flatCalls;
        }
    });

    // Each control is gone right after its write, so the restart is the registry's last
    // owner. The next control comes as that restart ends, when the registry goes and
    // releases the libraries: from a little before to a little after, a millisecond later
    // each cycle. (Here a restart ends about 40 ms after the control has gone.)
    constexpr int kCycles = 240;
    constexpr DWORD kRestartEnds = 40;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        ComPtr<IDispatch> control = CreateControl();
        ASSERT_TRUE(control) << cycle;
        const std::string device = newer(cycle);
        const std::wstring ip = Wide(device);
        Call(control.get(), kConnect, {ip.c_str(), 5510, L"admin", L"pw"});
        EXPECT_EQ(1, Call(control.get(), kWritePu, {ip.c_str(), 5510, L"10.2.0.1", 7000, L"PU", L"n", ip.c_str()}).value)
            << "cycle " << cycle << ": the write did not reach the camera library";
        control.reset();
        Sleep(kRestartEnds - 15 + cycle % 30);
    }

    // Every restart ends and the last registry goes; the host's calls ran all along.
    EXPECT_TRUE(PollUntil([] { return ModuleCanUnloadNow() == S_OK; }, 60000));
    stopFlat = true;
    flatHost.join();
    EXPECT_EQ(0, flatWrong.load()) << "of " << flatCalls.load();
    EXPECT_LT(0, flatCalls.load());
    for (int i = 0; i < kNewer; ++i) EXPECT_LE(1, store.Restarts(newer(i))) << newer(i);
}

} // namespace
