// The older-protocol PU library as the simulation serves it: the ZRM_ functions of
// halcyra.dll (cdecl, undecorated). Built into the stand-in halcyra.dll and, natively,
// into the static library devsim_halcyra_native for tests of the older-protocol adapter.
// Devices come from the store named by ORVEX_DEVSIM_STORE (see devsim/core/store.h).
#pragma once
#include <cstdint>

#if defined(_WIN32)
#define DEVSIM_CDECL __cdecl
#else
#define DEVSIM_CDECL
#endif

extern "C" {
int DEVSIM_CDECL ZRM_InitPu(int* handle);
int DEVSIM_CDECL ZRM_ConnectPU(int handle, const char* user, const char* pass, std::uint32_t addr_network_order, int port);
int DEVSIM_CDECL ZRM_GetPuParam(int handle, int group, int zero, void* buf, int size);
int DEVSIM_CDECL ZRM_SetPuParam(int handle, int group, int zero, void* buf, int size);
int DEVSIM_CDECL ZRM_GetPuCapVal(int handle, int cap);
int DEVSIM_CDECL ZRM_SaveSettings(int handle);
int DEVSIM_CDECL ZRM_IsConnected(int handle);
int DEVSIM_CDECL ZRM_DisConnectPU(int handle);
int DEVSIM_CDECL ZRM_RebootPu(int handle);
}

namespace devsim::halcyra {
// Forgets every handle of this process (test isolation); the store is left alone.
void ResetHandles();
}
