// The PU library of the older device protocol (halcyra.dll), linked by name.
// All functions are cdecl with undecorated names; results are 0 for success and a
// negative error value otherwise, except where noted.
#pragma once
#include <cstdint>

extern "C" {
std::int32_t ZRM_InitPu(int* handle);
std::int32_t ZRM_ConnectPU(int handle, const char* user, const char* pass,
                           std::uint32_t addrNetworkOrder, int port);
std::int32_t ZRM_GetPuParam(int handle, int group, int zero, void* buffer, int size);
std::int32_t ZRM_SetPuParam(int handle, int group, int zero, void* buffer, int size);
std::int32_t ZRM_GetPuCapVal(int handle, int cap);  // the capability's value
std::int32_t ZRM_SaveSettings(int handle);
std::int32_t ZRM_IsConnected(int handle);           // non-zero: alive
std::int32_t ZRM_DisConnectPU(int handle);
std::int32_t ZRM_RebootPu(int handle);
}
