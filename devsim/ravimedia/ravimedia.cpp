// The stand-in media library: set-up and release, and per-port volumes, enough for the
// loading and forwarding paths of orvex to find real functions here. No media is played.
#include <cstdint>
#include <map>
#include <mutex>

namespace {
std::mutex g_lock;
bool g_ready = false;
std::map<int, int> g_volume;       // play port -> 0..100
std::map<int, int> g_call_volume;  // talk-back port -> 0..100
constexpr int kDefaultVolume = 50;

int VolumeOf(const std::map<int, int>& table, int port)
{
    const auto it = table.find(port);
    return it == table.end() ? kDefaultVolume : it->second;
}
}  // namespace

extern "C" {

// Called with (init, flag, 1) from IPC_InitDll, and without arguments through the
// MED_InitMedia export: cdecl, so the unread arguments do no harm.
std::uint8_t __cdecl MED_InitMedia(int, int, int)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_ready = true;
    return 1;
}

std::uint8_t __cdecl MED_FreeMedia(void)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_ready = false;
    g_volume.clear();
    g_call_volume.clear();
    return 1;
}

std::uint8_t __cdecl MED_SetVolume(int port, int volume)
{
    if (volume < 0 || volume > 100) return 0;
    std::lock_guard<std::mutex> hold(g_lock);
    g_volume[port] = volume;
    return 1;
}

std::uint8_t __cdecl MED_GetVolume(int port, int* volume)
{
    if (!volume) return 0;
    std::lock_guard<std::mutex> hold(g_lock);
    *volume = VolumeOf(g_volume, port);
    return 1;
}

std::uint8_t __cdecl MED_SetCallVolume(int port, int volume)
{
    if (volume < 0 || volume > 100) return 0;
    std::lock_guard<std::mutex> hold(g_lock);
    g_call_volume[port] = volume;
    return 1;
}

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

}  // extern "C"
