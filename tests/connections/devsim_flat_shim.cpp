// The module's IPC_ exports as the V7 adapter reaches them, served natively by the
// simulated camera library: the same argument reshaping the forwarders do (the size of
// IPC_GetQuor/IPC_SetQuor is dropped) and the 8-bit statuses widened.
#include <cstring>

#include "flatapi/flat_api.h"
#include "ravicore_sim.h"

namespace sim = devsim::ravicore;

namespace {

template <typename T>
T* Ptr(FlatArg arg) { return reinterpret_cast<T*>(arg); }

int Int(FlatArg arg) { return static_cast<int>(arg); }

}  // namespace

extern "C" {

std::int32_t IPC_AddConnectDetect(FlatArg handle, FlatArg interval, FlatArg retries, FlatArg callback, FlatArg context,
                                  FlatArg err)
{
    return sim::IPC_AddConnectDetect(Ptr<int>(handle), Int(interval), Int(retries),
                                     reinterpret_cast<sim::DetectCallback>(callback), Ptr<void>(context),
                                     Ptr<int>(err));
}

std::int32_t IPC_InitDll(FlatArg name, FlatArg init, FlatArg flag, FlatArg err)
{
    // The media library's initialisation does not touch the error value.
    if (std::strcmp(Ptr<const char>(name), "ravicore.dll") == 0) sim::IPC_InitDll(Int(init), Int(flag), Ptr<int>(err));
    return 1;
}

std::int32_t IPC_ReleaseDll(FlatArg err) { sim::IPC_ReleaseDll(Ptr<int>(err)); return 1; }

std::int32_t IPC_CreateHandle(FlatArg addr, FlatArg port, FlatArg user, FlatArg pass)
{
    return sim::IPC_CreateHandle(static_cast<std::uint32_t>(addr), Int(port), Ptr<const char>(user),
                                 Ptr<const char>(pass));
}

std::int32_t IPC_Login(FlatArg h, FlatArg user, FlatArg pass, FlatArg err)
{
    return sim::IPC_Login(Ptr<int>(h), Ptr<const char>(user), Ptr<const char>(pass), Ptr<int>(err));
}

std::int32_t IPC_GetQuor(FlatArg h, FlatArg b, FlatArg, FlatArg e) { return sim::IPC_GetQuor(Ptr<int>(h), Ptr<void>(b), Ptr<int>(e)); }
std::int32_t IPC_SetQuor(FlatArg h, FlatArg b, FlatArg, FlatArg e) { return sim::IPC_SetQuor(Ptr<int>(h), Ptr<void>(b), Ptr<int>(e)); }
std::int32_t IPC_GetDeviceInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return sim::IPC_GetDeviceInfo(Ptr<int>(h), Ptr<void>(b), Int(s), Ptr<int>(e)); }
std::int32_t IPC_SetDeviceInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return sim::IPC_SetDeviceInfo(Ptr<int>(h), Ptr<void>(b), Int(s), Ptr<int>(e)); }
std::int32_t IPC_GetIpInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return sim::IPC_GetIpInfo(Ptr<int>(h), Ptr<void>(b), Int(s), Ptr<int>(e)); }
std::int32_t IPC_SetIpInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return sim::IPC_SetIpInfo(Ptr<int>(h), Ptr<void>(b), Int(s), Ptr<int>(e)); }
std::int32_t IPC_IsConnect(FlatArg h, FlatArg flag, FlatArg e) { return sim::IPC_IsConnect(Int(h), Ptr<std::uint8_t>(flag), Ptr<int>(e)); }
std::int32_t IPC_DelConnectDetect(FlatArg h, FlatArg e) { return sim::IPC_DelConnectDetect(Ptr<int>(h), Ptr<int>(e)); }
std::int32_t IPC_Logout(FlatArg h, FlatArg e) { return sim::IPC_Logout(Ptr<int>(h), Ptr<int>(e)); }
std::int32_t IPC_SystemReboot(FlatArg h, FlatArg e) { return sim::IPC_SystemReboot(Ptr<int>(h), Ptr<int>(e)); }

}  // extern "C"
