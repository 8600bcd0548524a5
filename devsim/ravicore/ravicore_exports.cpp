// The undecorated cdecl exports of the stand-in ravicore.dll (names in ravicore.def).
#include "ravicore_sim.h"

namespace rc = devsim::ravicore;
using std::uint8_t;
using std::uint32_t;

extern "C" {
uint8_t __cdecl IPC_InitDll(int init, int flag, int* err) { return rc::IPC_InitDll(init, flag, err); }
uint8_t __cdecl IPC_ReleaseDll(int* err) { return rc::IPC_ReleaseDll(err); }
uint8_t __cdecl IPC_GetVersion(uint32_t* version, int* err) { return rc::IPC_GetVersion(version, err); }
uint8_t __cdecl IPC_CreateHandle(uint32_t addr, int port, const char* user, const char* pass)
{
    return rc::IPC_CreateHandle(addr, port, user, pass);
}
uint8_t __cdecl IPC_Login(int* h, const char* user, const char* pass, int* err) { return rc::IPC_Login(h, user, pass, err); }
uint8_t __cdecl IPC_AddConnectDetect(int* h, int interval, int retries, rc::DetectCallback cb, void* context, int* err)
{
    return rc::IPC_AddConnectDetect(h, interval, retries, cb, context, err);
}
uint8_t __cdecl IPC_DelConnectDetect(int* h, int* err) { return rc::IPC_DelConnectDetect(h, err); }
uint8_t __cdecl IPC_IsConnect(int h, uint8_t* connected, int* err) { return rc::IPC_IsConnect(h, connected, err); }
uint8_t __cdecl IPC_Logout(int* h, int* err) { return rc::IPC_Logout(h, err); }
uint8_t __cdecl IPC_SystemReboot(int* h, int* err) { return rc::IPC_SystemReboot(h, err); }
uint8_t __cdecl IPC_GetQuor(int* h, void* buf, int* err) { return rc::IPC_GetQuor(h, buf, err); }
uint8_t __cdecl IPC_SetQuor(int* h, void* buf, int* err) { return rc::IPC_SetQuor(h, buf, err); }
uint8_t __cdecl IPC_GetDeviceInfo(int* h, void* buf, int size, int* err) { return rc::IPC_GetDeviceInfo(h, buf, size, err); }
uint8_t __cdecl IPC_SetDeviceInfo(int* h, void* buf, int size, int* err) { return rc::IPC_SetDeviceInfo(h, buf, size, err); }
uint8_t __cdecl IPC_GetIpInfo(int* h, void* buf, int size, int* err) { return rc::IPC_GetIpInfo(h, buf, size, err); }
uint8_t __cdecl IPC_SetIpInfo(int* h, void* buf, int size, int* err) { return rc::IPC_SetIpInfo(h, buf, size, err); }
}
