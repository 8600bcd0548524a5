#include "device_split.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "activex/unique_handle.h"
#include "bench_support.h"
#include "ipv4_text.h"
#include "orvex/connections/v5_groups.h"

namespace {

template <typename Function>
Function Find(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

LogTally CountTodaysLog()
{
    LogTally tally;
    activex::UniqueFileHandle file(CreateFileA(TodaysLogPath("C:\\orvex\\").c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return tally;
    std::string text(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return tally;
    text.resize(read);
    for (char c : text) tally.lines += c == '\n';
    for (std::size_t at = text.find("TakePuOnline success"); at != std::string::npos;
         at = text.find("TakePuOnline success", at + 1))
        ++tally.restarts;
    return tally;
}

double SecondsPerLogLine()
{
    const char* path = "C:\\orvex_bench_log_line.txt";
    const char line[] = "[00:00:00]PuManager::WritePu:1 WritePu success. szPuIP-192.168.3.1,lPuPort-5510\r\n";
    constexpr int kLines = 500;
    const double start = Now();
    for (int i = 0; i < kLines; ++i) {
        activex::UniqueFileHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) break;
        SetFilePointer(file.get(), 0, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(file.get(), line, sizeof line - 1, &written, nullptr);
    }
    const double perLine = (Now() - start) / kLines;
    DeleteFileA(path);
    return perLine;
}

double StandInSecondsPerDevice(const std::string& prefix, int firstHost, int devices, int rounds)
{
    using InitPuFn = std::int32_t (*)(int*);
    using ConnectPuFn = std::int32_t (*)(int, const char*, const char*, std::uint32_t, int);
    using ParamFn = std::int32_t (*)(int, int, int, void*, int);
    using HandleFn = std::int32_t (*)(int);
    using CapFn = std::int32_t (*)(int, int);
    HMODULE library = GetModuleHandleW(L"halcyra.dll");
    if (!library) return -1;
    const auto initPu = Find<InitPuFn>(library, "ZRM_InitPu");
    const auto connectPu = Find<ConnectPuFn>(library, "ZRM_ConnectPU");
    const auto getParam = Find<ParamFn>(library, "ZRM_GetPuParam");
    const auto setParam = Find<ParamFn>(library, "ZRM_SetPuParam");
    const auto capVal = Find<CapFn>(library, "ZRM_GetPuCapVal");
    const auto save = Find<HandleFn>(library, "ZRM_SaveSettings");
    const auto isConnected = Find<HandleFn>(library, "ZRM_IsConnected");
    const auto disconnect = Find<HandleFn>(library, "ZRM_DisConnectPU");
    if (!initPu || !connectPu || !getParam || !setParam || !capVal || !save || !isConnected || !disconnect) return -1;

    std::vector<int> handles(static_cast<std::size_t>(devices), 0);
    unsigned char nms[v5::kNmsSize], sysPub[v5::kSysPubSize], sys[v5::kSysSize];
    const double start = Now();
    for (int round = 0; round < rounds; ++round) {
        for (int d = 0; d < devices; ++d) {
            int& handle = handles[static_cast<std::size_t>(d)];
            if (round == 0) {
                const std::string ip = prefix + std::to_string(firstHost + d);
                initPu(&handle);
                connectPu(handle, "", "", ParseIpv4NetworkOrder(ip.c_str()).value_or(0), 5510);
            } else {
                isConnected(handle);
            }
            getParam(handle, v5::emPuConfig_Nms, 0, nms, sizeof nms);
            setParam(handle, v5::emPuConfig_Nms, 0, nms, sizeof nms);
            getParam(handle, v5::emPuConfig_SysPub, 0, sysPub, sizeof sysPub);
            setParam(handle, v5::emPuConfig_SysPub, 0, sysPub, sizeof sysPub);
            getParam(handle, v5::emPuConfig_Sys, 0, sys, sizeof sys);
            capVal(handle, v5::kCapNameCopy);
            setParam(handle, v5::emPuConfig_Sys, 0, sys, sizeof sys);
            save(handle);
        }
    }
    const double perDevice = (Now() - start) / (double(devices) * rounds);
    for (int handle : handles) disconnect(handle);
    return perDevice;
}
