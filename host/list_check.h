// The check before writing: what a batch run would do with each row of a device list,
// and what a run cannot see (the same device ID or device IP on several rows). The
// rows are judged by the batch run's own rules (trevanil/core) and the IP texts by the
// device-access control's own rule, so a check and a run never disagree.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device_list.h"

namespace trevanil_host {

// What a run does with a row, in the order the run decides it.
enum class RowVerdict {
    Write,           // written (whether the device then accepts is the device's answer)
    Incomplete,      // too few fields, or no name, ID or device IP
    GbRefused,       // a GB-compliant device: never written
    OwnPortInvalid,  // its own platform port is not 1-65535
    IpTextRefused,   // orvex refuses the device IP or platform IP text (code 72) and writes nothing
};
constexpr std::size_t kRowVerdictCount = 5;

struct RowCheck {
    std::size_t number = 0;  // from 1, as the dialog numbers its rows
    RowVerdict verdict = RowVerdict::Incomplete;
    // As the dialog shows them (the file's encoding, one leading "#" removed); empty
    // for an incomplete row.
    std::string name;
    std::string id;
    std::string deviceIp;
    // Write: the platform address the device gets; otherwise the row's own, as written.
    bool ownPlatform = false;  // the row names its own platform address
    bool platformKnown = false;  // false: the dialog's address, not given to the check
    std::string platformIp;
    std::int32_t platformPort = 0;
    std::string platformPortText;  // the row's own port field
    bool badDeviceIp = false;      // IpTextRefused: which texts orvex refuses
    bool badPlatformIp = false;
};

// Several rows that the run writes with one device ID, or one device (IP address).
struct DuplicateGroup {
    std::string key;                 // the ID, or the IP text of the first row
    std::vector<std::size_t> rows;   // row numbers in file order, at least two
};

struct ListCheck {
    std::vector<RowCheck> rows;
    std::vector<DuplicateGroup> duplicateIds;
    std::vector<DuplicateGroup> duplicateIps;
    std::size_t counts[kRowVerdictCount] = {};

    std::size_t Count(RowVerdict verdict) const { return counts[static_cast<std::size_t>(verdict)]; }
    // Every row would be written and no two would clash: nothing for the operator to mend.
    bool AllClear() const;
};

// The platform address typed into the dialog, which rows without their own get. It has
// passed the dialog's checks (CheckStartInputs).
struct DialogPlatform {
    std::string ip;
    std::string port;
};

// Judges every row of `list`. Without `platform` the rows that take the dialog's
// address are still written, to an address the check does not know.
// Duplicates are looked for among the rows that would be written: device IDs as the
// platform receives them, device IPs by the address they name ("010.0.0.1" is 10.0.0.1).
ListCheck CheckDeviceList(const DeviceList& list, const std::optional<DialogPlatform>& platform);

} // namespace trevanil_host
