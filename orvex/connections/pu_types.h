// Shared vocabulary of the connection registry, its device adapters and the control: device
// types, the result codes the registry itself sets, the texts' sizes, one connection's record.
#pragma once
#include <cstddef>
#include <cstdint>

// Device type of a connection (emPutype).
enum emPutype : std::int32_t {
    emPutype_V5 = 1,  // older protocol, served by CVelaIPCV5
    emPutype_V7 = 2,  // newer protocol, served by CVelaIPCV7
};

// Result codes ("errPu") that the registry and the adapters set themselves; the rest
// come from the adapters' translation tables.
constexpr int kErrPuNone = 0;
constexpr int kErrPuInternal = 1;    // no adapter for the type, or an adapter's Init failed
constexpr int kErrPuNoRecord = 45;   // no record has the PU id
constexpr int kErrPuBadIpText = 72;  // an address text is not dotted-decimal IPv4
constexpr int kErrPuBadSize = -2;    // a text that does not fit its buffer, or a port out of range
constexpr int kErrPuBusy = 81;       // another write or a restart kept the connection beyond the wait limit

// Sizes of the texts below the control's interface (bytes, terminator included).
constexpr std::size_t kAddressTextSize = 32;  // device and platform IP address
constexpr std::size_t kPuIdTextSize = 33;     // PU id text and new device IP address
constexpr std::size_t kDeviceNameSize = 64;   // device name, UTF-8
constexpr std::size_t kLoginTextSize = 128;   // user name and password, UTF-8

// Who is working on a connection now. A write and a restart never work on one at once,
// and a connection a restart has closed (or failed to close) is never written again.
enum class PuRecordUse : std::uint8_t {
    Idle,        // open; a pending restart may take it
    Writing,     // a write (or the host's DisConnect) is using it
    Restarting,  // its restart runs: a write to the address waits for the end of it
    Closing,     // restarted, its close failed and is retried: never used for a write
};

// One open connection.
struct PuRecord {
    std::int32_t lPuID = 0;
    std::int32_t lPuHandle = 0;
    std::int32_t emPutype = 0;
    char szPuIP[kAddressTextSize] = {};
    std::uint8_t bOnline = 0;              // set by a successful write or SetPuOnline, never cleared
    PuRecordUse use = PuRecordUse::Idle;
    std::uint32_t restartTicket = 0;       // the restart the last successful write scheduled; 0 none
};
