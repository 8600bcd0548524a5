// The two library slots: the camera library (ravicore.dll) and the media library
// (ravimedia.dll), each empty until IPC_InitDll loads it.
//
// The slots are process-wide handles, not owners: a library stays loaded until
// IPC_ReleaseDll / MED_FreeMedia unload it explicitly (never from the module's unload,
// where FreeLibrary would run under the loader lock).
//
// Slots are written only by IPC_InitDll, IPC_ReleaseDll and MED_FreeMedia, each of which
// runs whole under one lock, so a load and a release never overlap. The forwarders read
// the slots without it. Loading and releasing must still not overlap with calls in
// flight: the connection registry sees to that for its own calls (it loads when it is
// made and releases when it is destroyed, both under the registry's own lock, which is
// always taken before this one); a host that calls the flat API itself answers for its
// own calls.
#pragma once
#include <windows.h>

#include <atomic>

extern std::atomic<HMODULE> g_cameraLibrary;
extern std::atomic<HMODULE> g_mediaLibrary;

// The function's address in one slot's library; null when the slot is empty or the
// library lacks it.
void* FindInLibrary(HMODULE library, const char* name);
