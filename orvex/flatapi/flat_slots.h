// The two library slots: the camera library (ravicore.dll) and the media library
// (ravimedia.dll), each empty until IPC_InitDll loads it.
//
// The slots are process-wide handles, not owners: a library stays loaded until
// IPC_ReleaseDll / MED_FreeMedia unload it explicitly (never from the module's unload,
// where FreeLibrary would run under the loader lock).
//
// Slots are written only by IPC_InitDll, IPC_ReleaseDll and MED_FreeMedia, each of which
// runs whole under one lock, so a load and a release never overlap. The forwarders read
// the slots without it. A release never finishes or unloads a library while another
// thread is inside one: every forwarded call is counted while it runs (flat_lookup.h),
// and a release first turns new calls away, then waits for the counted ones to return.
// The connection registry loads when it is made and releases when it is destroyed, both
// under the registry's own lock, which is always taken before this one.
#pragma once
#include <windows.h>

#include <atomic>

extern std::atomic<HMODULE> g_cameraLibrary;
extern std::atomic<HMODULE> g_mediaLibrary;

// The function's address in one slot's library; null when the slot is empty or the
// library lacks it.
void* FindInLibrary(HMODULE library, const char* name);

// Held by a release for its whole length: from its construction on, forwarded calls
// answer 3 without entering a library, and it returns once no other thread's call is
// left inside one, serving meanwhile what other threads send to this thread, for a few
// seconds at most. Clear() is false when the libraries must stay as they are: this thread
// is inside a library (a release from a library's callback, on any thread) or holds the
// loader lock (a host's DllMain), then nothing is waited for; or a call did not return
// in time.
class FlatReleaseGate {
public:
    FlatReleaseGate() noexcept;
    ~FlatReleaseGate();
    FlatReleaseGate(const FlatReleaseGate&) = delete;
    FlatReleaseGate& operator=(const FlatReleaseGate&) = delete;
    bool Clear() const noexcept { return m_clear; }

private:
    bool m_closed = false;  // new calls are turned away until it goes
    bool m_clear = false;
};
