// The device-access module's daily log followed as it grows: each call reads only the
// bytes added since the last one (so it costs the same at row 100,000 as at row 10), and
// at midnight the old day's file is read to its end before the new day's is taken up.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trevanil_host {

class CDeviceLogTail {
public:
    // From where today's log ends now: what is logged after this is this host's.
    void Start();
    // Hands each whole line added since the last call to `onLine` (without its line end).
    void Poll(const std::function<void(std::string_view)>& onLine);

private:
    bool ReadNew(const std::function<void(std::string_view)>& onLine);

    std::wstring m_path;
    std::uint64_t m_offset = 0;
    std::string m_partial;  // a line whose end has not been logged yet
};

} // namespace trevanil_host
