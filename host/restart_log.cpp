#include "restart_log.h"

#include <algorithm>
#include <map>

namespace {

constexpr std::string_view kWritten = "WritePu success. szPuIP-";
constexpr std::string_view kRestarted = "TakePuOnline success. lPuID:";
constexpr std::string_view kAddress = ",szPuIP-";

// The address that follows `at` up to a comma or the end of the line.
std::string_view AddressAt(std::string_view line, std::size_t at)
{
    const std::size_t end = line.find_first_of(",\r\n", at);
    return line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
}

}  // namespace

std::vector<std::string> DevicesNotRestarted(std::string_view logText)
{
    std::map<std::string, long, std::less<>> owed;  // writes minus restarts per address
    std::vector<std::string> order;
    std::size_t start = 0;
    while (start < logText.size()) {
        std::size_t end = logText.find('\n', start);
        if (end == std::string_view::npos) end = logText.size();
        const std::string_view line = logText.substr(start, end - start);
        start = end + 1;
        if (const std::size_t at = line.find(kWritten); at != std::string_view::npos) {
            const std::string_view address = AddressAt(line, at + kWritten.size());
            auto [it, added] = owed.emplace(std::string(address), 0);
            if (added) order.push_back(it->first);
            ++it->second;
        } else if (line.find(kRestarted) != std::string_view::npos) {
            const std::size_t at = line.find(kAddress);
            if (at == std::string_view::npos) continue;
            auto it = owed.find(AddressAt(line, at + kAddress.size()));
            if (it != owed.end() && it->second > 0) --it->second;
        }
    }
    order.erase(std::remove_if(order.begin(), order.end(), [&](const std::string& a) { return owed[a] <= 0; }),
                order.end());
    return order;
}
