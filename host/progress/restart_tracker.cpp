#include "restart_tracker.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include "ipv4_text.h"

namespace trevanil_host {
namespace {

constexpr std::string_view kWritten = "WritePu success. szPuIP-";
constexpr std::string_view kRestarted = "ReRoot success. lPuID:";
constexpr std::string_view kAddress = ",szPuIP-";

// The address that follows `at` up to a comma or the line's end.
std::string_view AddressAt(std::string_view line, std::size_t at)
{
    const std::size_t end = line.find_first_of(",\r\n", at);
    return line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
}

constexpr std::string_view kGivenUp = "DisConnect given up. lPuID:";
constexpr std::string_view kPuId = "lPuID:";

// The connection id after "lPuID:" up to a comma or the line's end.
std::string PuIdIn(std::string_view line)
{
    const std::size_t at = line.find(kPuId);
    if (at == std::string_view::npos) return std::string();
    return std::string(AddressAt(line, at + kPuId.size()));
}

// One spelling per address: dotted decimal without leading zeros where the text is one.
std::string Canonical(std::string_view address)
{
    const std::string text(address);
    const std::optional<std::uint32_t> value = ParseIpv4NetworkOrder(text.c_str());
    if (!value) return text;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&*value);  // network order: as written
    char out[16];
    std::snprintf(out, sizeof out, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return out;
}

} // namespace

CRestartTracker::Address& CRestartTracker::Find(std::string_view address)
{
    return m_addresses[Canonical(address)];
}

void CRestartTracker::Settle(Address& address, std::vector<std::uint64_t>* credited)
{
    // The oldest owed write is the (reported - owed)-th of the address.
    while (!address.owed.empty() && address.writesReported - address.owed.size() < address.writesRestarted) {
        m_restarted.push_back(address.owed.front());
        if (credited) credited->push_back(address.owed.front());
        address.owed.pop_front();
        --m_owed;
    }
}

void CRestartTracker::OnLogLine(std::string_view line)
{
    if (const std::size_t at = line.find(kWritten); at != std::string_view::npos) {
        ++Find(AddressAt(line, at + kWritten.size())).writesLogged;
    } else if (line.find(kRestarted) != std::string_view::npos) {
        const std::size_t at = line.find(kAddress);
        if (at == std::string_view::npos) return;
        Address& address = Find(AddressAt(line, at + kAddress.size()));
        address.writesRestarted = address.writesLogged;
        address.lastRestart = PuIdIn(line);
        std::vector<std::uint64_t>& credited = m_byRestart[address.lastRestart];
        credited.clear();
        Settle(address, &credited);
    } else if (line.find(kGivenUp) != std::string_view::npos) {
        const auto found = m_byRestart.find(PuIdIn(line));
        if (found == m_byRestart.end()) return;
        m_givenUp.insert(m_givenUp.end(), found->second.begin(), found->second.end());
        m_byRestart.erase(found);
    }
}

void CRestartTracker::OnRowWritten(std::uint64_t token, std::string_view address)
{
    Address& entry = Find(address);
    if (entry.owed.empty()) entry.firstReported = ++m_reports;  // owed from now on
    ++entry.writesReported;
    entry.owed.push_back(token);
    ++m_owed;
    // Covered by a restart already logged, whose close may still be given up.
    const auto restart = m_byRestart.find(entry.lastRestart);
    Settle(entry, restart == m_byRestart.end() ? nullptr : &restart->second);
}

std::vector<std::uint64_t> CRestartTracker::TakeRestarted() { return std::exchange(m_restarted, {}); }

std::vector<std::uint64_t> CRestartTracker::TakeGivenUp() { return std::exchange(m_givenUp, {}); }

std::vector<std::string> CRestartTracker::AddressesOwed() const
{
    std::vector<std::pair<std::uint64_t, std::string>> owed;
    for (const auto& [text, address] : m_addresses)
        if (!address.owed.empty()) owed.emplace_back(address.firstReported, text);
    std::sort(owed.begin(), owed.end());
    std::vector<std::string> addresses;
    for (auto& entry : owed) addresses.push_back(std::move(entry.second));
    return addresses;
}

} // namespace trevanil_host
