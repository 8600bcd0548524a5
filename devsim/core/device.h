// One simulated device: what it is, what it holds, and what has happened to it.
#pragma once
#include <map>
#include <string>
#include <string_view>

#include "layout.h"

namespace devsim {

constexpr int kOldProtocolPort = 5510;
constexpr int kNewProtocolPort = 80;

struct Device {
    std::string address;  // the section name: where the device answers
    Protocol protocol = Protocol::Old;
    int port = kOldProtocolPort;
    std::string user;      // credentials the device accepts (older protocol: empty)
    std::string password;
    int cap74 = 1;         // older protocol: capability 74 (1: 64-byte name copy)

    // Saved content of every group/block. Newer-protocol writes land here at once.
    std::map<std::string, Bytes, std::less<>> blocks;
    // Older protocol: groups written but not yet saved with ZRM_SaveSettings. The device
    // serves them until it restarts, which throws them away.
    std::map<std::string, Bytes, std::less<>> pending;

    long restarts = 0;
    long logins = 0;         // accepted logins
    long failed_logins = 0;  // refused credentials
    long saves = 0;          // ZRM_SaveSettings calls that committed
    long sessions = 0;       // connections open now
    long epoch = 0;          // bumped by a restart or a dropped link: older sessions are dead

    std::map<std::string, int, std::less<>> faults;  // call name -> library error value
    std::map<std::string, int, std::less<>> faults_once;  // the same, for the next call only
    std::map<std::string, int, std::less<>> delays;  // call name -> milliseconds

    // What the device serves for a group/block: unsaved content first, else saved.
    const Bytes& Current(std::string_view block) const;
    // Named field of the saved content (or of `pending` when `unsaved` and present).
    std::string Field(std::string_view key, bool unsaved = false) const;
    bool SetField(std::string_view key, std::string_view value, std::string& error);

    // A device refuses a write that turns one of its addresses into 0.0.0.0 or
    // 255.255.255.255 (what inet_addr gives for a bad text); rewriting a value it
    // already holds is fine.
    bool AcceptsWrite(std::string_view block, const Bytes& incoming) const;
};

// A device with realistic factory content for its protocol; `port` 0 means the
// protocol's usual port.
Device MakeDevice(std::string address, Protocol protocol, int port = 0, std::string user = {},
                  std::string password = {});

// The calls a device of that protocol answers (names that faults and delays may use).
bool IsKnownCall(Protocol protocol, std::string_view call);
std::string KnownCalls(Protocol protocol);  // comma-separated, for error messages

}  // namespace devsim
