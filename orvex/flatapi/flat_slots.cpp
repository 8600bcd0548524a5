#include "flat_slots.h"

#include "flat_api.h"
#include "flat_lookup.h"

std::atomic<HMODULE> g_cameraLibrary{nullptr};
std::atomic<HMODULE> g_mediaLibrary{nullptr};

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

void* FlatFindFunction(const char* name)
{
    const FlatTargets targets = FlatLookupBoth(name);
    return targets.camera ? targets.camera : targets.media;
}
