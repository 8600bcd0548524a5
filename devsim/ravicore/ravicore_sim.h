// The camera library (newer protocol) as the simulation serves it: the library-side
// functions that orvex's forwarders reach, with the argument shapes they pass
// (IPC_GetQuor/IPC_SetQuor get no size: the forwarder drops it). Each returns an 8-bit
// status, 1 on success, and leaves its error value in `err` (1 on success too).
// Built into the stand-in ravicore.dll (undecorated cdecl exports of these names) and,
// natively, into devsim_ravicore_native. Devices come from the store named by
// ORVEX_DEVSIM_STORE (see devsim/core/store.h). Addresses arrive in host byte order.
#pragma once
#include <cstddef>
#include <cstdint>

namespace devsim::ravicore {

constexpr std::size_t kQuorSize = 598;
constexpr std::size_t kDeviceInfoSize = 329;
constexpr std::size_t kIpInfoSize = 1866;
constexpr std::uint32_t kVersion = 0x07020100;  // 7.2.1.0

using DetectCallback = void (*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                std::int32_t);

std::uint8_t IPC_InitDll(int init, int flag, int* err);
std::uint8_t IPC_ReleaseDll(int* err);
std::uint8_t IPC_GetVersion(std::uint32_t* version, int* err);

// Returns the new handle (1..255), or 0 when all 255 are logged in.
std::uint8_t IPC_CreateHandle(std::uint32_t addr_host_order, int port, const char* user, const char* pass);
std::uint8_t IPC_Login(int* handle, const char* user, const char* pass, int* err);
std::uint8_t IPC_AddConnectDetect(int* handle, int interval_ms, int retries, DetectCallback callback, void* context,
                                  int* err);
std::uint8_t IPC_DelConnectDetect(int* handle, int* err);
std::uint8_t IPC_IsConnect(int handle, std::uint8_t* connected, int* err);
std::uint8_t IPC_Logout(int* handle, int* err);
std::uint8_t IPC_SystemReboot(int* handle, int* err);

std::uint8_t IPC_GetQuor(int* handle, void* buf, int* err);
std::uint8_t IPC_SetQuor(int* handle, void* buf, int* err);
// `size` 0 means the block's own size (329); anything else must be 329.
std::uint8_t IPC_GetDeviceInfo(int* handle, void* buf, int size, int* err);
std::uint8_t IPC_SetDeviceInfo(int* handle, void* buf, int size, int* err);
std::uint8_t IPC_GetIpInfo(int* handle, void* buf, int size, int* err);
std::uint8_t IPC_SetIpInfo(int* handle, void* buf, int size, int* err);

// Forgets every handle of this process (test isolation); the store is left alone.
void ResetHandles();

}  // namespace devsim::ravicore
