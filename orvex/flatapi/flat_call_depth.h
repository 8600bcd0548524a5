// This thread's depth of forwarded calls (flat_lookup.h): above zero while the thread is
// inside a library call, for instance in a library's callback. Every forwarded call
// reads and writes it twice. A thread_local would cost a call into mingw's emulated TLS
// on each access; this is a TLS slot of the module, read and written in the thread's
// environment block as TlsGetValue/TlsSetValue do, without the call.
#pragma once
#include <windows.h>

#include <cstdint>

extern const DWORD g_flatDepthSlot;  // TlsAlloc'd when the module is loaded

// The first 64 slots lie in the environment block itself (TEB.TlsSlots).
constexpr DWORD kFlatDirectSlots = 64;

long FlatCallDepthSlow() noexcept;
void SetFlatCallDepthSlow(long depth) noexcept;

inline long FlatCallDepth() noexcept
{
    if (g_flatDepthSlot < kFlatDirectSlots) {
#if defined(__i386__)
        return static_cast<long>(__readfsdword(0xE10 + g_flatDepthSlot * 4));
#elif defined(__x86_64__)
        return static_cast<long>(__readgsqword(0x1480 + g_flatDepthSlot * 8));
#endif
    }
    return FlatCallDepthSlow();
}

inline void SetFlatCallDepth(long depth) noexcept
{
    if (g_flatDepthSlot < kFlatDirectSlots) {
#if defined(__i386__)
        __writefsdword(0xE10 + g_flatDepthSlot * 4, static_cast<DWORD>(depth));
        return;
#elif defined(__x86_64__)
        __writegsqword(0x1480 + g_flatDepthSlot * 8, static_cast<DWORD64>(depth));
        return;
#endif
    }
    SetFlatCallDepthSlow(depth);
}
