#include "fake_flat_api.h"

#include <cstring>

#include "flatapi/flat_api.h"

namespace {

FakeCamera g_fake;

constexpr std::size_t kQuorSize = 598, kDeviceInfoSize = 329, kIpInfoSize = 1866;

int* ErrPointer(FlatArg arg) { return reinterpret_cast<int*>(arg); }

// Common part of every call: record it, note the error value on entry, answer.
std::int32_t Answer(const std::string& name, FlatArg err)
{
    g_fake.calls.push_back(name);
    g_fake.errSeen[name] = *ErrPointer(err);
    auto out = g_fake.errOut.find(name);
    if (out != g_fake.errOut.end()) *ErrPointer(err) = out->second;
    auto found = g_fake.status.find(name);
    return found == g_fake.status.end() ? 1 : found->second;
}

std::int32_t ReadBlock(const std::string& name, const std::string& block, std::size_t size,
                       FlatArg handle, FlatArg buffer, FlatArg sizeArg, FlatArg err)
{
    g_fake.handleSeen[name] = *reinterpret_cast<int*>(handle);
    g_fake.sizeSeen[name] = sizeArg;
    std::int32_t status = Answer(name, err);
    if (status == 1) std::memcpy(reinterpret_cast<void*>(buffer), g_fake.Block(block, size).data(), size);
    return status;
}

std::int32_t WriteBlock(const std::string& name, const std::string& block, std::size_t size,
                        FlatArg handle, FlatArg buffer, FlatArg sizeArg, FlatArg err)
{
    g_fake.handleSeen[name] = *reinterpret_cast<int*>(handle);
    g_fake.sizeSeen[name] = sizeArg;
    std::int32_t status = Answer(name, err);
    if (status == 1) std::memcpy(g_fake.Block(block, size).data(), reinterpret_cast<void*>(buffer), size);
    return status;
}

std::int32_t FakeAddConnectDetect(FlatArg handle, FlatArg interval, FlatArg mode, FlatArg callback,
                                  FlatArg last, FlatArg err)
{
    g_fake.handleSeen["IPC_AddConnectDetect"] = *reinterpret_cast<int*>(handle);
    g_fake.detectInterval = interval;
    g_fake.detectMode = mode;
    g_fake.detectCallbackGiven = callback != 0;
    g_fake.detectLast = last;
    if (callback) {  // the library may call the detector at any time; it must do nothing harmful
        using Callback = void (*)(FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg, FlatArg);
        reinterpret_cast<Callback>(callback)(1, 2, 3, 4, 5, 6, 7);
    }
    Answer("IPC_AddConnectDetect", err);
    return g_fake.detectorStatus;
}

std::string Text(FlatArg arg) { return arg ? reinterpret_cast<const char*>(arg) : "<null>"; }

}  // namespace

std::vector<std::uint8_t>& FakeCamera::Block(const std::string& name, std::size_t size)
{
    std::vector<std::uint8_t>& bytes = blocks[name];
    if (bytes.size() < size) bytes.resize(size, 0);
    return bytes;
}

int FakeCamera::CountCalls(const std::string& name) const
{
    int count = 0;
    for (const std::string& call : calls) count += call == name;
    return count;
}

FakeCamera& Camera() { return g_fake; }
void ResetCamera() { g_fake = FakeCamera(); }

extern "C" {

// As the module's forwarder: 3 without entering a library that lacks the function.
std::int32_t IPC_AddConnectDetect(FlatArg handle, FlatArg interval, FlatArg mode, FlatArg callback, FlatArg last,
                                  FlatArg err)
{
    if (!g_fake.detectorPresent) return 3;
    return FakeAddConnectDetect(handle, interval, mode, callback, last, err);
}

std::int32_t IPC_InitDll(FlatArg name, FlatArg init, FlatArg flag, FlatArg err)
{
    g_fake.calls.push_back("IPC_InitDll");
    g_fake.initLibraries.push_back(Text(name));
    g_fake.initValues.push_back(init);
    g_fake.errSeen["IPC_InitDll:" + Text(name)] = *ErrPointer(err);
    (void)flag;
    auto out = g_fake.initErr.find(Text(name));
    if (out != g_fake.initErr.end()) *ErrPointer(err) = out->second;
    return 1;
}

std::int32_t IPC_ReleaseDll(FlatArg err)
{
    ++g_fake.releaseCount;
    return Answer("IPC_ReleaseDll", err);
}

std::int32_t IPC_CreateHandle(FlatArg addr, FlatArg port, FlatArg user, FlatArg pass)
{
    g_fake.calls.push_back("IPC_CreateHandle");
    g_fake.createAddr = static_cast<std::uint32_t>(addr);
    g_fake.createPort = port;
    g_fake.createUser = Text(user);
    g_fake.createPass = Text(pass);
    return g_fake.createHandleResult;
}

std::int32_t IPC_Login(FlatArg handle, FlatArg user, FlatArg pass, FlatArg err)
{
    g_fake.handleSeen["IPC_Login"] = *reinterpret_cast<int*>(handle);
    g_fake.loginUser = Text(user);
    g_fake.loginPass = Text(pass);
    return Answer("IPC_Login", err);
}

std::int32_t IPC_GetQuor(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return ReadBlock("IPC_GetQuor", "Quor", kQuorSize, h, b, s, e); }
std::int32_t IPC_SetQuor(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return WriteBlock("IPC_SetQuor", "Quor", kQuorSize, h, b, s, e); }
std::int32_t IPC_GetDeviceInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return ReadBlock("IPC_GetDeviceInfo", "DeviceInfo", kDeviceInfoSize, h, b, s, e); }
std::int32_t IPC_SetDeviceInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return WriteBlock("IPC_SetDeviceInfo", "DeviceInfo", kDeviceInfoSize, h, b, s, e); }
std::int32_t IPC_GetIpInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return ReadBlock("IPC_GetIpInfo", "IpInfo", kIpInfoSize, h, b, s, e); }
std::int32_t IPC_SetIpInfo(FlatArg h, FlatArg b, FlatArg s, FlatArg e) { return WriteBlock("IPC_SetIpInfo", "IpInfo", kIpInfoSize, h, b, s, e); }

std::int32_t IPC_IsConnect(FlatArg handle, FlatArg flag, FlatArg err)
{
    g_fake.handleSeen["IPC_IsConnect"] = static_cast<int>(handle);
    g_fake.errSeen["IPC_IsConnect:flag"] = *reinterpret_cast<std::uint8_t*>(flag);
    std::int32_t status = Answer("IPC_IsConnect", err);
    if (status == 1) *reinterpret_cast<std::uint8_t*>(flag) = g_fake.connectedFlag;
    return status;
}

std::int32_t IPC_DelConnectDetect(FlatArg handle, FlatArg err)
{
    g_fake.handleSeen["IPC_DelConnectDetect"] = *reinterpret_cast<int*>(handle);
    return Answer("IPC_DelConnectDetect", err);
}

std::int32_t IPC_Logout(FlatArg handle, FlatArg err)
{
    g_fake.handleSeen["IPC_Logout"] = *reinterpret_cast<int*>(handle);
    return Answer("IPC_Logout", err);
}

std::int32_t IPC_SystemReboot(FlatArg handle, FlatArg err)
{
    g_fake.handleSeen["IPC_SystemReboot"] = *reinterpret_cast<int*>(handle);
    return Answer("IPC_SystemReboot", err);
}

}  // extern "C"
