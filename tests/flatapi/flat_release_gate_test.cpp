// A release while other threads are inside the libraries: it never unloads a library
// that a thread will return into, and it never leaves the releasing thread blocked
// without end or deaf to what other threads send it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "activex/unique_handle.h"
#include "flat_recording_sink.h"
#include "flat_test_module.h"

namespace {

// The longest a test waits for a thread that should long have finished.
constexpr DWORD kSafetyNetMs = 20000;
constexpr UINT kAskHost = WM_APP + 7;

class FlatReleaseGate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, OrvexModule());
        ReleaseAllLibraries();
        recording::Reset();
        std::int32_t error = 0;
        ASSERT_EQ(1, InitDll("ravicore.dll", 3300, 0, &error));
        ASSERT_EQ(1, InitDll("ravimedia.dll", 3000, 0, &error));
        recording::Reset();
    }
    void TearDown() override
    {
        recording::Reset();
        ReleaseAllLibraries();
    }

    // IPC_GetVersion through the forwarder on a thread of its own; `entered` is set once
    // the call is inside the camera library.
    std::thread CallOnAnotherThread()
    {
        return std::thread([this] { answer = reinterpret_cast<FlatCall>(OrvexExport("IPC_GetVersion"))(
                                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0); });
    }

    activex::UniqueHandle entered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    activex::UniqueHandle letGo{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<std::int32_t> answer{-1};
};

LRESULT CALLBACK AskHostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kAskHost) return 42;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

// A call that does not return: the release gives up after a while and leaves the
// libraries loaded, so the call can still return into them.
TEST_F(FlatReleaseGate, ACallThatDoesNotReturnLeavesTheLibrariesLoaded)
{
    recording::SetDuringCall([this](const std::string& name) {
        if (name != "IPC_GetVersion") return;
        SetEvent(entered.get());
        WaitForSingleObject(letGo.get(), kSafetyNetMs);
    });
    std::thread caller = CallOnAnotherThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered.get(), kSafetyNetMs));

    std::int32_t error = 0;
    EXPECT_EQ(1, ReleaseDll(&error));
    const bool cameraStayed = GetModuleHandleW(L"ravicore.dll") != nullptr;
    SetEvent(letGo.get());
    caller.join();
    EXPECT_TRUE(cameraStayed) << "the release waited the call out or unloaded under it";
    EXPECT_NE(nullptr, GetModuleHandleW(L"ravimedia.dll"));
    EXPECT_EQ(1, answer.load()) << "the call returned through the still-loaded library";
}

// A call that waits for the releasing thread (a message sent to a window of that thread)
// is served while the release waits, and the release then goes through.
TEST_F(FlatReleaseGate, ACallThatSendsToTheReleasingThreadIsServed)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &AskHostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FlatReleaseGateAskHost";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    std::atomic<LRESULT> reply{0};
    recording::SetDuringCall([&](const std::string& name) {
        if (name != "IPC_GetVersion") return;
        SetEvent(entered.get());
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, kAskHost, 0, 0, SMTO_NORMAL, kSafetyNetMs, &result)) reply = result;
    });
    std::thread caller = CallOnAnotherThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered.get(), kSafetyNetMs));

    std::int32_t error = 0;
    EXPECT_EQ(1, ReleaseDll(&error));
    caller.join();
    DestroyWindow(window);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
    EXPECT_EQ(42, reply.load()) << "the releasing thread did not serve the call's message";
    EXPECT_EQ(1, answer.load());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravicore.dll")) << "released once the call had returned";
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravimedia.dll"));
}

// A release from inside a library call (depth 1, as from a library's callback) while
// another thread is inside a call: it releases nothing and returns at once, without
// waiting for the other call (which goes on only once the release has returned).
TEST_F(FlatReleaseGate, AReleaseFromInsideACallDoesNotWaitForOtherCalls)
{
    std::atomic<bool> letGoInTime{false};
    recording::SetDuringCall([this, &letGoInTime](const std::string& name) {
        if (name == "IPC_GetVersion") {
            SetEvent(entered.get());
            letGoInTime = WaitForSingleObject(letGo.get(), kSafetyNetMs) == WAIT_OBJECT_0;
        } else if (name == "IPC_Login") {
            std::int32_t error = 0;
            ReleaseDll(&error);
            SetEvent(letGo.get());
        }
    });
    std::thread caller = CallOnAnotherThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered.get(), kSafetyNetMs));
    EXPECT_EQ(1, reinterpret_cast<FlatCall>(OrvexExport("IPC_Login"))(1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0));
    caller.join();
    EXPECT_TRUE(letGoInTime.load()) << "the nested release waited for the other thread's call";
    EXPECT_NE(nullptr, GetModuleHandleW(L"ravicore.dll"));
    EXPECT_NE(nullptr, GetModuleHandleW(L"ravimedia.dll"));
}

// A host callback on a thread of the library's own (no forwarded call counts it) that
// releases: nothing is unloaded, since the thread returns into the library.
TEST_F(FlatReleaseGate, AReleaseFromALibrarysOwnThreadReleasesNothing)
{
    using RunOnOwnThreadFn = void (*)(void (*)(void*), void*);
    auto runOnOwnThread = reinterpret_cast<RunOnOwnThreadFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ravicore.dll"), "RecorderRunOnOwnThread")));
    ASSERT_NE(nullptr, runOnOwnThread);
    struct Seen {
        bool cameraStayed = false, mediaStayed = false;
    } seen;
    runOnOwnThread(
        [](void* context) {
            std::int32_t error = 0;
            FreeMedia();
            ReleaseDll(&error);
            auto* seen = static_cast<Seen*>(context);
            seen->cameraStayed = GetModuleHandleW(L"ravicore.dll") != nullptr;
            seen->mediaStayed = GetModuleHandleW(L"ravimedia.dll") != nullptr;
        },
        &seen);
    EXPECT_TRUE(seen.cameraStayed);
    EXPECT_TRUE(seen.mediaStayed);
    EXPECT_TRUE(recording::Calls().empty()) << "no library was finished either";

    std::int32_t error = 0;
    EXPECT_EQ(1, ReleaseDll(&error)) << "from the host's own thread it releases";
    EXPECT_EQ(nullptr, GetModuleHandleW(L"ravicore.dll"));
}

// A host's DllMain that releases runs under the loader lock, where neither the libraries'
// own release functions nor FreeLibrary may run: nothing is released there.
TEST_F(FlatReleaseGate, AReleaseUnderTheLoaderLockReleasesNothing)
{
    HMODULE caller = LoadLibraryW(L"loader_lock_caller.dll");
    ASSERT_NE(nullptr, caller);
    FreeLibrary(caller);
    EXPECT_NE(nullptr, GetModuleHandleW(L"ravicore.dll"));
    EXPECT_NE(nullptr, GetModuleHandleW(L"ravimedia.dll"));
    EXPECT_TRUE(recording::Calls().empty()) << "no library was finished either";
}
