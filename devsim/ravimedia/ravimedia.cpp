// The stand-in media library: set-up and release, and per-port volumes, enough for the
// loading and forwarding paths of orvex to find real functions here. No media is played.
//
// Like a real media library it must not be finished or unloaded while a call is inside
// it, and it is finished on the thread that initialised it (where a real one keeps its
// windows and timers). It checks both and reports a breach in the process environment
// variable DEVSIM_MEDIA_MISUSE, which outlives the library. A test can slow
// MED_GetVolume down (DevsimMediaSlowDown) to hold a call inside.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace {
std::mutex g_lock;
bool g_ready = false;
std::map<int, int> g_volume;       // play port -> 0..100
std::map<int, int> g_call_volume;  // talk-back port -> 0..100
constexpr int kDefaultVolume = 50;
std::atomic<long> g_slowCallMs{0};
std::atomic<long> g_callsInside{0};
std::atomic<DWORD> g_initThread{0};

int VolumeOf(const std::map<int, int>& table, int port)
{
    const auto it = table.find(port);
    return it == table.end() ? kDefaultVolume : it->second;
}

std::uint8_t SetVolumeOf(std::map<int, int>& table, int port, int volume)
{
    if (volume < 0 || volume > 100) return 0;
    std::lock_guard<std::mutex> hold(g_lock);
    table[port] = volume;
    return 1;
}

void ReportMisuse(const wchar_t* what)
{
    wchar_t previous[512] = L"";
    GetEnvironmentVariableW(L"DEVSIM_MEDIA_MISUSE", previous, 512);
    std::wstring text = previous;
    text += what;
    text += L"; ";
    SetEnvironmentVariableW(L"DEVSIM_MEDIA_MISUSE", text.c_str());
}

void CheckFinishing(const wchar_t* what)
{
    if (g_callsInside.load() != 0) ReportMisuse((std::wstring(what) + L" while a call was inside").c_str());
}
}  // namespace

extern "C" {

// Called with (init, flag, 1) from IPC_InitDll, and without arguments through the
// MED_InitMedia export: cdecl, so the unread arguments do no harm.
std::uint8_t __cdecl MED_InitMedia(int, int, int)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_ready = true;
    g_initThread = GetCurrentThreadId();
    return 1;
}

std::uint8_t __cdecl MED_FreeMedia(void)
{
    CheckFinishing(L"MED_FreeMedia");
    if (g_initThread.load() != 0 && g_initThread.load() != GetCurrentThreadId())
        ReportMisuse(L"MED_FreeMedia on another thread than MED_InitMedia");
    std::lock_guard<std::mutex> hold(g_lock);
    g_ready = false;
    g_volume.clear();
    g_call_volume.clear();
    return 1;
}

std::uint8_t __cdecl MED_SetVolume(int port, int volume) { return SetVolumeOf(g_volume, port, volume); }

std::uint8_t __cdecl MED_GetVolume(int port, int* volume)
{
    if (!volume) return 0;
    ++g_callsInside;
    Sleep(static_cast<DWORD>(g_slowCallMs.load()));
    {
        std::lock_guard<std::mutex> hold(g_lock);
        *volume = VolumeOf(g_volume, port);
    }
    --g_callsInside;
    return 1;
}

std::uint8_t __cdecl MED_SetCallVolume(int port, int volume) { return SetVolumeOf(g_call_volume, port, volume); }

// An 8-bit result of its own: the volume itself.
std::uint8_t __cdecl MED_GetCallVolume(int port)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return static_cast<std::uint8_t>(VolumeOf(g_call_volume, port));
}

std::uint8_t __cdecl MED_IsLocalPlay(int)
{
    return 0;  // nothing is ever played here
}

// The tests' controls of the stand-in.
void __cdecl DevsimMediaSlowDown(long milliseconds) { g_slowCallMs = milliseconds; }
long __cdecl DevsimMediaCallsInside() { return g_callsInside.load(); }

}  // extern "C"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // At process exit (reserved non-null) other threads are gone already.
    if (reason == DLL_PROCESS_DETACH && !reserved) CheckFinishing(L"unloaded");
    return TRUE;
}
