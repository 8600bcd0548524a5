// The control under the load hosts put on it: hundreds of quick writes, and a host that
// calls the flat API itself while its last control goes and the libraries are released.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "orvex/control/orvex_contract.h"
#include "com_test_support.h"

using namespace orvex_test;

namespace {

constexpr DISPID kWritePu = ORVEX_DISPID_WRITEPU, kConnect = ORVEX_DISPID_CONNECT,
                 kIsUseDomain = ORVEX_DISPID_ISUSEDOMAIN;

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

TEST(Restarts, HundredsOfQuickWritesEachGetTheirRestart)
{
    ComApartment apartment;
    DeviceStore store("store_many.ini");
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    constexpr long kDelayMs = 4000;  // hundreds of restarts wait at once
    ASSERT_TRUE(SetReRootDelay(kDelayMs));
    const int threadsBefore = ThreadCount();

    // A restart ends every connection to its device, a write in progress too. So the
    // devices are written one after the other, each for a third of the delay at most
    // (and at most 80 times): its restarts fall due only after its writes.
    constexpr int kWrites = 400, kSpellings = 80;
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
    EXPECT_TRUE(PollUntil(allGone, 120000));
    for (int device = 0; device < devices; ++device) EXPECT_LE(1, store.Restarts(Spelling(device, 0))) << device;
}

// The module's flat exports, called as a host that uses the flat API itself calls them.
using FlatFn2 = std::int32_t(__cdecl*)(std::intptr_t, std::intptr_t);
template <class Fn>
Fn FlatExport(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(OrvexModule(), name)));
}

std::wstring MediaMisuse()
{
    wchar_t text[512] = L"";
    GetEnvironmentVariableW(L"DEVSIM_MEDIA_MISUSE", text, 512);
    return text;
}

// A host that shows video calls the media library from a thread of its own. Its last
// control goes while a restart is pending; when the restart ends, the libraries are
// released: not under that call, and on the host's thread that initialised them.
TEST(LibraryLifetime, TheLibrariesAreReleasedOnTheHostsThreadAfterCallsInsideThemReturn)
{
    ComApartment apartment;
    DeviceStore store("store_lifetime_load.ini");
    const std::string device = "10.8.0.1";
    ASSERT_EQ(0, store.Run({"add", device, "--protocol", "new", "--user", "admin", "--password", "pw"}));
    ASSERT_TRUE(OrvexModule());
    ASSERT_TRUE(SetReRootDelay(500));
    SetEnvironmentVariableW(L"DEVSIM_MEDIA_MISUSE", nullptr);

    // With no restart pending, the last control's destruction releases at once.
    ASSERT_TRUE(CreateControl());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravimedia.dll")) << "released with the last control, no message needed";
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravicore.dll"));

    ComPtr<IDispatch> control = CreateControl();
    ASSERT_TRUE(control);
    HMODULE media = GetModuleHandleW(L"ravimedia.dll");
    ASSERT_TRUE(media) << "the control loaded the media library";
    using SlowDownFn = void(__cdecl*)(long);
    using CallsInsideFn = long(__cdecl*)();
    auto slowDown = reinterpret_cast<SlowDownFn>(reinterpret_cast<void*>(GetProcAddress(media, "DevsimMediaSlowDown")));
    auto callsInside = reinterpret_cast<CallsInsideFn>(reinterpret_cast<void*>(GetProcAddress(media, "DevsimMediaCallsInside")));
    ASSERT_TRUE(slowDown && callsInside);
    Call(control.get(), kConnect, {L"10.8.0.1", 5510, L"admin", L"pw"});
    ASSERT_EQ(1, Call(control.get(), kWritePu, {L"10.8.0.1", 5510, L"10.2.0.1", 7000, L"PU", L"n", L"10.8.0.1"}).value);
    control.reset();  // the restart is now the registry's last owner

    // The host's call stays inside the media library well past the restart.
    slowDown(3000);
    auto getVolume = FlatExport<FlatFn2>("MED_GetVolume");
    ASSERT_TRUE(getVolume);
    std::atomic<std::int32_t> status{-1};
    std::int32_t volume = -1;
    std::thread videoThread([&] { status = getVolume(0, reinterpret_cast<std::intptr_t>(&volume)); });
    ASSERT_TRUE(PollUntil([&] { return callsInside() == 1; }, 10000));

    // The host's message loop runs; the release waits for the call inside.
    EXPECT_TRUE(PollUntil([] { return ModuleCanUnloadNow() == S_OK; }, 30000));
    videoThread.join();
    EXPECT_EQ(1, status.load()) << "the call came back from the library";
    EXPECT_EQ(50, volume);
    EXPECT_EQ(L"", MediaMisuse());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravimedia.dll")) << "released once the call had returned";
    EXPECT_EQ(3, getVolume(0, reinterpret_cast<std::intptr_t>(&volume))) << "calls after the release answer 3";
    EXPECT_EQ(1, store.Restarts(device));
}

} // namespace
