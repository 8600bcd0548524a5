// Which written rows have seen their device's restart, followed through the
// device-access module's daily log: each successful write logs
// "WritePu success. szPuIP-<ip>,..." and each restart the device took logs
// "ReRoot success. lPuID:<n>,szPuIP-<ip>". A restart covers every write of its address
// logged before it (a write made while a restart is due takes that restart over), so the
// k-th row reported written to an address is restarted once a restart of that address
// follows the k-th write line. A restart whose connection could not be closed after it
// ("DisConnect given up. lPuID:<n>") does not count: its rows are owed again. Addresses
// compare by value ("010.0.0.1" is 10.0.0.1).
// Portable; each call costs the same however many rows came before.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trevanil_host {

class CRestartTracker {
public:
    // One line of the log, with or without its line end.
    void OnLogLine(std::string_view line);
    // A row, named by the caller's `token`, was reported written to `address`.
    void OnRowWritten(std::uint64_t token, std::string_view address);
    // The rows whose restart came since the last call, in the order it came.
    std::vector<std::uint64_t> TakeRestarted();
    // The rows handed out by TakeRestarted whose restart was given up since the last call.
    std::vector<std::uint64_t> TakeGivenUp();

    // Rows reported written whose restart has not come.
    std::size_t Owed() const { return m_owed; }
    // Their addresses, each once, the one owed longest first.
    std::vector<std::string> AddressesOwed() const;

private:
    struct Address {
        std::uint64_t writesLogged = 0;
        std::uint64_t writesRestarted = 0;  // of the logged writes, those a restart followed
        std::uint64_t writesReported = 0;
        std::deque<std::uint64_t> owed;     // tokens of the last reported writes not restarted
        std::uint64_t firstReported = 0;    // since when it is owed, for AddressesOwed
        std::string lastRestart;            // the connection id of its last restart
    };
    Address& Find(std::string_view address);
    void Settle(Address& address, std::vector<std::uint64_t>* credited);

    std::unordered_map<std::string, Address> m_addresses;
    std::vector<std::uint64_t> m_restarted;
    std::vector<std::uint64_t> m_givenUp;
    // The rows each restart (by its connection's id) covered, until its close is given up.
    std::unordered_map<std::string, std::vector<std::uint64_t>> m_byRestart;
    std::size_t m_owed = 0;
    std::uint64_t m_reports = 0;
};

} // namespace trevanil_host
