// The stand-in DLLs as a host meets them: loaded by name from the program's directory,
// functions found by their undecorated names, called with cdecl; a login, a write and
// the readback through the store.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "temp_store.h"

namespace devsim {
namespace {

// An owned module handle.
struct Module {
    explicit Module(const wchar_t* name) : handle(LoadLibraryW(name)) {}
    ~Module()
    {
        if (handle) FreeLibrary(handle);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    template <class Fn>
    Fn Find(const char* name) const
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
    }
    HMODULE handle;
};

using InitPuFn = int(__cdecl*)(int*);
using ConnectPuFn = int(__cdecl*)(int, const char*, const char*, std::uint32_t, int);
using PuParamFn = int(__cdecl*)(int, int, int, void*, int);
using PuHandleFn = int(__cdecl*)(int);
using CreateHandleFn = std::uint8_t(__cdecl*)(std::uint32_t, int, const char*, const char*);
using LoginFn = std::uint8_t(__cdecl*)(int*, const char*, const char*, int*);
using QuorFn = std::uint8_t(__cdecl*)(int*, void*, int*);
using IsConnectFn = std::uint8_t(__cdecl*)(int, std::uint8_t*, int*);
using HandleErrFn = std::uint8_t(__cdecl*)(int*, int*);
using InitDllFn = std::uint8_t(__cdecl*)(int, int, int*);
using InitMediaFn = std::uint8_t(__cdecl*)(int, int, int);
using FreeMediaFn = std::uint8_t(__cdecl*)();

TEST(DevsimDlls, OlderProtocolLoginWriteSaveAndRestart)
{
    testing::TempStore store;
    store.Add(MakeDevice("192.168.1.10", Protocol::Old));
    Module halcyra(L"halcyra.dll");
    ASSERT_NE(halcyra.handle, nullptr);
    const auto init = halcyra.Find<InitPuFn>("ZRM_InitPu");
    const auto connect = halcyra.Find<ConnectPuFn>("ZRM_ConnectPU");
    const auto get = halcyra.Find<PuParamFn>("ZRM_GetPuParam");
    const auto set = halcyra.Find<PuParamFn>("ZRM_SetPuParam");
    const auto save = halcyra.Find<PuHandleFn>("ZRM_SaveSettings");
    const auto reboot = halcyra.Find<PuHandleFn>("ZRM_RebootPu");
    const auto connected = halcyra.Find<PuHandleFn>("ZRM_IsConnected");
    for (const char* name : {"ZRM_GetPuCapVal", "ZRM_DisConnectPU"}) EXPECT_NE(halcyra.Find<void*>(name), nullptr) << name;
    ASSERT_TRUE(init && connect && get && set && save && reboot && connected);

    int handle = 0;
    ASSERT_EQ(init(&handle), 0);
    const std::uint32_t address = ToNetworkOrder(*ParseIpv4("192.168.1.10"));
    ASSERT_EQ(connect(handle, nullptr, nullptr, address, 5510), 0);
    std::vector<std::uint8_t> nms(80, 0);
    ASSERT_EQ(get(handle, 28, 0, nms.data(), 80), 0);
    const std::uint32_t platform = ToNetworkOrder(*ParseIpv4("10.20.30.40"));
    std::memcpy(&nms[4], &platform, 4);
    ASSERT_EQ(set(handle, 28, 0, nms.data(), 80), 0);
    ASSERT_EQ(save(handle), 0);
    ASSERT_EQ(reboot(handle), 0);
    EXPECT_EQ(connected(handle), 0);

    const Device device = store.Get("192.168.1.10");
    EXPECT_EQ(device.Field("nms_platform_ip"), "10.20.30.40");
    EXPECT_EQ(device.restarts, 1);
    EXPECT_EQ(device.logins, 1);
}

TEST(DevsimDlls, NewerProtocolLoginWriteAndReadback)
{
    testing::TempStore store;
    store.Add(MakeDevice("192.168.1.20", Protocol::New, 0, "admin", "admin123"));
    Module ravicore(L"ravicore.dll");
    ASSERT_NE(ravicore.handle, nullptr);
    const auto init = ravicore.Find<InitDllFn>("IPC_InitDll");
    const auto create = ravicore.Find<CreateHandleFn>("IPC_CreateHandle");
    const auto login = ravicore.Find<LoginFn>("IPC_Login");
    const auto get = ravicore.Find<QuorFn>("IPC_GetQuor");
    const auto set = ravicore.Find<QuorFn>("IPC_SetQuor");
    const auto is_connect = ravicore.Find<IsConnectFn>("IPC_IsConnect");
    const auto logout = ravicore.Find<HandleErrFn>("IPC_Logout");
    for (const char* name : {"IPC_ReleaseDll", "IPC_AddConnectDetect", "IPC_DelConnectDetect", "IPC_GetDeviceInfo",
                             "IPC_SetDeviceInfo", "IPC_GetIpInfo", "IPC_SetIpInfo", "IPC_SystemReboot", "IPC_GetVersion"})
        EXPECT_NE(ravicore.Find<void*>(name), nullptr) << name;
    ASSERT_TRUE(init && create && login && get && set && is_connect && logout);

    int error = 0;
    ASSERT_EQ(init(3300, 0, &error), 1);
    EXPECT_EQ(error, 1);
    int handle = create(*ParseIpv4("192.168.1.20"), 80, "admin", "admin123");
    error = 1;
    EXPECT_EQ(login(&handle, "admin", "bad", &error), 0);
    EXPECT_EQ(error, 203);
    ASSERT_EQ(login(&handle, "admin", "admin123", &error), 1);

    std::vector<std::uint8_t> quor(598, 0);
    ASSERT_EQ(get(&handle, quor.data(), &error), 1);
    const std::uint16_t port = 7100;
    std::memcpy(&quor[4], &port, 2);
    std::strcpy(reinterpret_cast<char*>(&quor[12]), "PU-WINE-1");
    ASSERT_EQ(set(&handle, quor.data(), &error), 1);
    std::uint8_t flag = 0;
    ASSERT_EQ(is_connect(handle, &flag, &error), 1);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(logout(&handle, &error), 1);

    const Device device = store.Get("192.168.1.20");
    EXPECT_EQ(device.Field("platform_port"), "7100");
    EXPECT_EQ(device.Field("pu_id"), "PU-WINE-1");
    EXPECT_EQ(device.failed_logins, 1);
    EXPECT_EQ(device.sessions, 0);
}

TEST(DevsimDlls, MediaLibrarySetUpAndRelease)
{
    Module ravimedia(L"ravimedia.dll");
    ASSERT_NE(ravimedia.handle, nullptr);
    const auto init = ravimedia.Find<InitMediaFn>("MED_InitMedia");
    const auto free_media = ravimedia.Find<FreeMediaFn>("MED_FreeMedia");
    const auto set_volume = ravimedia.Find<std::uint8_t(__cdecl*)(int, int)>("MED_SetVolume");
    const auto get_volume = ravimedia.Find<std::uint8_t(__cdecl*)(int, int*)>("MED_GetVolume");
    ASSERT_TRUE(init && free_media && set_volume && get_volume);
    EXPECT_EQ(init(3000, 0, 1), 1);
    EXPECT_EQ(set_volume(2, 80), 1);
    EXPECT_EQ(set_volume(2, 101), 0);
    int volume = 0;
    EXPECT_EQ(get_volume(2, &volume), 1);
    EXPECT_EQ(volume, 80);
    EXPECT_EQ(free_media(), 1);
    EXPECT_EQ(get_volume(2, &volume), 1);
    EXPECT_EQ(volume, 50);  // released: back to the default
    EXPECT_EQ(ravimedia.Find<void*>("IPC_Login"), nullptr);
}

}  // namespace
}  // namespace devsim
