#include "device_log_tail.h"

#include <windows.h>
#include <algorithm>
#include "activex/unique_handle.h"
#include "log_line.h"
#include "log_root.h"

namespace trevanil_host {
namespace {

constexpr DWORD kReadChunk = 1u << 20;

std::wstring TodaysDeviceLogPath()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LogTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    char path[kLogPathCapacity];
    if (!FormatLogFilePath(path, sizeof path, kLogRoot, time)) return {};
    return std::wstring(path, path + std::char_traits<char>::length(path));  // ASCII
}

activex::UniqueFileHandle OpenLog(const std::wstring& path)
{
    return activex::UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

void CDeviceLogTail::Start()
{
    m_path = TodaysDeviceLogPath();
    m_partial.clear();
    activex::UniqueFileHandle file = OpenLog(m_path);
    LARGE_INTEGER size{};
    m_offset = file && GetFileSizeEx(file.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

bool CDeviceLogTail::ReadNew(const std::function<void(std::string_view)>& onLine)
{
    activex::UniqueFileHandle file = OpenLog(m_path);
    LARGE_INTEGER size{}, at{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return false;
    if (static_cast<std::uint64_t>(size.QuadPart) < m_offset) m_offset = 0;  // made anew
    at.QuadPart = static_cast<LONGLONG>(m_offset);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return false;
    std::string chunk;
    while (m_offset < static_cast<std::uint64_t>(size.QuadPart)) {
        chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size.QuadPart - m_offset, kReadChunk)));
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) || read == 0) break;
        m_offset += read;
        m_partial.append(chunk.data(), read);
        std::size_t start = 0;
        for (std::size_t end; (end = m_partial.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string_view line(m_partial.data() + start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            onLine(line);
        }
        m_partial.erase(0, start);
    }
    return true;
}

void CDeviceLogTail::Poll(const std::function<void(std::string_view)>& onLine)
{
    if (m_path.empty()) Start();
    ReadNew(onLine);
    const std::wstring today = TodaysDeviceLogPath();
    if (today == m_path) return;
    // The day changed: what the old file got since is read above; the new one from its start.
    m_path = today;
    m_offset = 0;
    m_partial.clear();
    ReadNew(onLine);
}

} // namespace trevanil_host
