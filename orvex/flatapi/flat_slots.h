// The two library slots: the camera library (ravicore.dll) and the media library
// (ravimedia.dll), each empty until IPC_InitDll loads it.
//
// The slots are plain process-wide handles, not owners: a library stays loaded until
// IPC_ReleaseDll / MED_FreeMedia unload it explicitly (never from the module's unload,
// where FreeLibrary would run under the loader lock). Loading and releasing must not
// overlap with calls in flight; the device-access paths serialise them.
#pragma once
#include <windows.h>

extern HMODULE g_cameraLibrary;
extern HMODULE g_mediaLibrary;

// The function's address in one slot's library; null when the slot is empty or the
// library lacks it.
void* FindInLibrary(HMODULE library, const char* name);
