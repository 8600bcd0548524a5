#include "flat_slots.h"

#include <cstddef>
#include <cstring>

#include "diag/write_log.h"
#include "flat_call_depth.h"
#include "flat_lookup.h"

std::atomic<HMODULE> g_cameraLibrary{nullptr};
std::atomic<HMODULE> g_mediaLibrary{nullptr};

namespace {

// Both sequentially consistent: a call that counts itself and then finds no release
// under way is seen by the release that sets the flag and then reads the count.
std::atomic<long> g_callsInFlight{0};
std::atomic<bool> g_releasing{false};

// How long a release waits for calls that other threads are making inside the libraries.
// A call that has not returned by then is stuck (or waits for something that this thread
// holds): the libraries then stay loaded for the rest of the process, which costs their
// memory; unloading them under the call would end the process.
constexpr DWORD kReleaseWaitMs = 5000;
constexpr int kThreadQuerySetWin32StartAddress = 9;
constexpr ULONG kStackFramesLooked = 62;

bool InLibrary(const void* address) noexcept
{
    HMODULE owner = nullptr;
    if (!address || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        static_cast<LPCWSTR>(address), &owner))
        return false;
    return owner == g_cameraLibrary.load() || owner == g_mediaLibrary.load();
}

// Whether this thread holds the loader lock (a host's DllMain that releases): the
// libraries' own release functions and FreeLibrary must not run there. The lock is
// PEB.LoaderLock, at 0xA0 of a 32-bit process's environment block, 0x110 of a 64-bit one.
bool UnderLoaderLock() noexcept
{
    using LockedByThreadFn = BOOLEAN(WINAPI*)(RTL_CRITICAL_SECTION*);
    static const auto lockedByThread = reinterpret_cast<LockedByThreadFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlIsCriticalSectionLockedByThread")));
    if (!lockedByThread) return false;
    const unsigned char* peb = nullptr;  // TEB.ProcessEnvironmentBlock
#if defined(__i386__)
    asm("movl %%fs:0x30, %0" : "=r"(peb));
    constexpr std::size_t kLoaderLockOffset = 0xA0;
#else
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    constexpr std::size_t kLoaderLockOffset = 0x110;
#endif
    RTL_CRITICAL_SECTION* loaderLock = nullptr;
    std::memcpy(&loaderLock, peb + kLoaderLockOffset, sizeof loaderLock);
    return loaderLock && lockedByThread(loaderLock);
}

// Whether this thread runs inside a library without a forwarded call of its own: a
// thread the library started (a callback on it may reach a release), or library code
// further up this thread's stack. Either would return into the unloaded library.
bool InsideALibrary() noexcept
{
    using QueryThreadFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto queryThread = reinterpret_cast<QueryThreadFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    void* start = nullptr;
    if (queryThread &&
        queryThread(GetCurrentThread(), kThreadQuerySetWin32StartAddress, &start, sizeof start, nullptr) >= 0 &&
        InLibrary(start))
        return true;
    void* frames[kStackFramesLooked] = {};
    const USHORT count = RtlCaptureStackBackTrace(0, kStackFramesLooked, frames, nullptr);
    for (USHORT i = 0; i < count; ++i)
        if (InLibrary(frames[i])) return true;
    return false;
}

// Waits until no other thread's call is inside a library, serving meanwhile the messages
// that other threads send to this one (a library call that waits on a window the library
// made on this thread), but none of the messages posted to the host's loop.
bool WaitForOtherCalls() noexcept
{
    const DWORD start = GetTickCount();
    while (g_callsInFlight.load() > 0) {
        if (GetTickCount() - start >= kReleaseWaitMs) return false;
        if (MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, 0) == WAIT_OBJECT_0) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    return true;
}

}  // namespace

bool FlatEnterCall() noexcept
{
    g_callsInFlight.fetch_add(1);
    if (g_releasing.load()) {
        g_callsInFlight.fetch_sub(1);
        return false;
    }
    SetFlatCallDepth(FlatCallDepth() + 1);  // a library that calls back into the module nests them
    return true;
}

void FlatLeaveCall() noexcept
{
    SetFlatCallDepth(FlatCallDepth() - 1);
    g_callsInFlight.fetch_sub(1);
}

FlatReleaseGate::FlatReleaseGate() noexcept
{
    // From inside a library nothing may be unloaded, and nothing is waited for.
    if (FlatCallDepth() != 0 || InsideALibrary()) {
        ORVEX_LOG("FlatReleaseGate", "release from inside a library: the libraries stay loaded.");
        return;
    }
    if (UnderLoaderLock()) {
        ORVEX_LOG("FlatReleaseGate", "release under the loader lock: the libraries stay loaded.");
        return;
    }
    g_releasing.store(true);
    m_closed = true;
    m_clear = WaitForOtherCalls();
    if (!m_clear) ORVEX_LOG("FlatReleaseGate", "a call inside the libraries did not return: they stay loaded.");
}

FlatReleaseGate::~FlatReleaseGate()
{
    if (m_closed) g_releasing.store(false);
}

void* FindInLibrary(HMODULE library, const char* name)
{
    if (!library) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(library, name));
}

FlatTargets FlatLookupBoth(const char* name)
{
    // Nothing is cached: a library loaded or released in between is seen at once.
    return FlatTargets{FindInLibrary(g_cameraLibrary, name), FindInLibrary(g_mediaLibrary, name)};
}

