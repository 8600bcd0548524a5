#include "restart_wait.h"

#include <windows.h>
#include <string>
#include "activex/unique_handle.h"
#include "console_out.h"
#include "log_line.h"
#include "log_root.h"
#include "restart_log.h"

namespace {

std::wstring TodaysDeviceLogPath()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LogTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    char path[kLogPathCapacity];
    if (!FormatLogFilePath(path, sizeof path, kLogRoot, time)) return {};
    return std::wstring(path, path + std::char_traits<char>::length(path));  // ASCII
}

activex::UniqueFileHandle OpenDeviceLog()
{
    return activex::UniqueFileHandle(CreateFileW(TodaysDeviceLogPath().c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The log from `start` on (empty when there is none, or the day changed).
std::string DeviceLogSince(std::uint64_t start)
{
    activex::UniqueFileHandle file = OpenDeviceLog();
    LARGE_INTEGER size{}, at{};
    if (!file || !GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) <= start) return {};
    at.QuadPart = static_cast<LONGLONG>(start);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return {};
    std::string text(static_cast<std::size_t>(size.QuadPart - at.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return {};
    text.resize(read);
    return text;
}

void ServeMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

std::uint64_t DeviceLogPosition()
{
    activex::UniqueFileHandle file = OpenDeviceLog();
    LARGE_INTEGER size{};
    return file && GetFileSizeEx(file.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

bool WaitForDeviceRestarts(std::uint64_t logStart, int limitSeconds)
{
    using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
    HMODULE module = GetModuleHandleW(L"orvex.dll");
    if (!module) return true;
    auto canUnload = reinterpret_cast<CanUnloadFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    if (!canUnload || canUnload() == S_OK) return true;
    trevanil_host::PrintLine("waiting for the restarts of the devices written");
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limitSeconds) * 1000;
    for (;;) {
        ServeMessages();  // the module releases its libraries through this thread's messages
        if (canUnload() == S_OK) return true;
        if (GetTickCount64() > deadline) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    std::string pending;
    for (const std::string& device : DevicesNotRestarted(DeviceLogSince(logStart)))
        pending += (pending.empty() ? "" : ", ") + device;
    trevanil_host::PrintError("trevanil_host: device restarts still pending after " + std::to_string(limitSeconds) +
                              " s" +
                              (pending.empty() ? std::string(".") : ": not yet restarted " + pending));
    return false;
}
