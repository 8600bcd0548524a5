#include "flat_slots.h"

#include "flat_api.h"
#include "flat_call_depth.h"
#include "flat_lookup.h"

std::atomic<HMODULE> g_cameraLibrary{nullptr};
std::atomic<HMODULE> g_mediaLibrary{nullptr};

namespace {

// Both sequentially consistent: a call that counts itself and then finds no release
// under way is seen by the release that sets the flag and then reads the count.
std::atomic<long> g_callsInFlight{0};
std::atomic<bool> g_releasing{false};

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
    g_releasing.store(true);
    // Releases are rare and wait only for calls already running; a short poll keeps the
    // calls themselves free of any signalling.
    while (g_callsInFlight.load() > FlatCallDepth()) Sleep(1);
    m_clear = FlatCallDepth() == 0;
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

