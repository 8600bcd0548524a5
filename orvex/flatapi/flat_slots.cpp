#include "flat_slots.h"

#include "flat_api.h"
#include "flat_lookup.h"

std::atomic<HMODULE> g_cameraLibrary{nullptr};
std::atomic<HMODULE> g_mediaLibrary{nullptr};

namespace {

// Both sequentially consistent: a call that counts itself and then finds no release
// under way is seen by the release that sets the flag and then reads the count.
std::atomic<long> g_callsInFlight{0};
std::atomic<bool> g_releasing{false};
// Calls of this thread in flight: a library that calls back into the module nests them.
thread_local long t_callsInFlight = 0;

}  // namespace

bool FlatEnterCall() noexcept
{
    g_callsInFlight.fetch_add(1);
    if (g_releasing.load()) {
        g_callsInFlight.fetch_sub(1);
        return false;
    }
    ++t_callsInFlight;
    return true;
}

void FlatLeaveCall() noexcept
{
    --t_callsInFlight;
    g_callsInFlight.fetch_sub(1);
}

FlatReleaseGate::FlatReleaseGate() noexcept
{
    g_releasing.store(true);
    // Releases are rare and wait only for calls already running; a short poll keeps the
    // calls themselves free of any signalling.
    while (g_callsInFlight.load() > t_callsInFlight) Sleep(1);
    m_clear = t_callsInFlight == 0;
}

FlatReleaseGate::~FlatReleaseGate() { g_releasing.store(false); }

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

