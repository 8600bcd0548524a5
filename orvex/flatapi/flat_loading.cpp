// Loading and releasing the camera and media libraries, and the media release that
// calls both libraries. The libraries' own set-up functions are cdecl, return an
// 8-bit status (not used here) and are skipped silently when a library lacks them.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <mutex>

#include "flat_api.h"
#include "flat_forward.h"
#include "flat_slots.h"
#include "library_path.h"

namespace {

constexpr char kCameraLibraryName[] = "ravicore.dll";
constexpr char kMediaLibraryName[] = "ravimedia.dll";
constexpr std::int32_t kLibraryNotLoadable = 2;

using InitDllFn = std::uint8_t(FLAT_CDECL*)(FlatArg init, FlatArg flag, std::int32_t* error);
using InitMediaFn = std::uint8_t(FLAT_CDECL*)(FlatArg init, FlatArg flag, FlatArg one);
using ReleaseDllFn = std::uint8_t(FLAT_CDECL*)(std::int32_t* error);
using FreeMediaFn = std::uint8_t(FLAT_CDECL*)();

// Calls the camera library's function, then the media library's, where each exists.
template <typename Function, typename... Args>
void CallInBothLibraries(const char* name, Args... args)
{
    const FlatTargets targets = FlatLookupBoth(name);
    if (targets.camera) reinterpret_cast<Function>(targets.camera)(args...);
    if (targets.media) reinterpret_cast<Function>(targets.media)(args...);
}

void ReportNotLoadable(std::int32_t* error)
{
    if (error) *error = kLibraryNotLoadable;
}

// Unloads a slot's library; the slot empties only when unloading succeeds.
void UnloadSlot(std::atomic<HMODULE>& slot)
{
    const HMODULE library = slot.load();
    if (library && FreeLibrary(library)) slot.store(nullptr);
}

// Held for the whole of each load and release (see flat_slots.h). The libraries' own
// set-up and release functions run under it too, so that they never overlap either.
// Constant-initialised, so it exists before any export can run.
std::mutex g_slotLock;

using SlotLock = std::lock_guard<std::mutex>;

void FreeMediaLocked()
{
    CallInBothLibraries<FreeMediaFn>("MED_FreeMedia");
    UnloadSlot(g_mediaLibrary);
}

}  // namespace

extern "C" std::int32_t IPC_InitDll(FlatArg nameArg, FlatArg init, FlatArg flagArg, FlatArg errorArg)
{
    const char* name = reinterpret_cast<const char*>(nameArg);
    auto* error = reinterpret_cast<std::int32_t*>(errorArg);
    const FlatArg flag = static_cast<std::uint8_t>(flagArg);  // an 8-bit flag, widened

    // The host program's directory, not this module's: the libraries lie beside the host.
    char exePath[MAX_PATH] = {};
    const DWORD exeLength = GetModuleFileNameA(nullptr, exePath, sizeof exePath);
    char libraryPath[MAX_PATH] = {};
    if (exeLength == 0 || exeLength >= sizeof exePath ||
        !BuildLibraryPath(libraryPath, sizeof libraryPath, exePath, name)) {
        ReportNotLoadable(error);  // a path that does not fit is refused like a missing file
        return 0;
    }

    const SlotLock lock(g_slotLock);
    const bool camera = std::strcmp(name, kCameraLibraryName) == 0;
    if (!camera && std::strcmp(name, kMediaLibraryName) != 0) return 1;  // another library: nothing loaded
    std::atomic<HMODULE>& slot = camera ? g_cameraLibrary : g_mediaLibrary;
    slot.store(LoadLibraryA(libraryPath));
    if (!slot.load()) {
        ReportNotLoadable(error);
        return 0;
    }
    if (camera)
        CallInBothLibraries<InitDllFn>("IPC_InitDll", init, flag, error);
    else
        CallInBothLibraries<InitMediaFn>("MED_InitMedia", init, flag, FlatArg{1});
    return 1;
}

extern "C" std::int32_t MED_FreeMedia(void)
{
    const SlotLock lock(g_slotLock);
    const FlatReleaseGate gate;
    if (gate.Clear()) FreeMediaLocked();
    return 1;
}

extern "C" std::int32_t IPC_ReleaseDll(FlatArg errorArg)
{
    auto* error = reinterpret_cast<std::int32_t*>(errorArg);
    const SlotLock lock(g_slotLock);
    const FlatReleaseGate gate;
    if (!gate.Clear()) return 1;  // called from inside a library: nothing may be unloaded now
    if (g_mediaLibrary.load()) FreeMediaLocked();
    if (!g_cameraLibrary.load()) return 1;
    CallInBothLibraries<ReleaseDllFn>("IPC_ReleaseDll", error);
    UnloadSlot(g_cameraLibrary);
    return 1;
}
