// One write of the platform settings into a device, its arguments checked and parsed
// once: the control makes it before it calls the registry, so a text or a port that a
// device cannot use costs no login and writes nothing, and the registry and the adapters
// take the addresses as numbers instead of reading the texts again.
#pragma once
#include <cstdint>

// The highest port number. Ports arrive as unsigned 32-bit values, so a negative number
// from a script arrives as its unsigned value and is above it as well.
constexpr std::uint32_t kMaxPortNumber = 65535;

struct Ipv4Address {
    std::uint32_t networkOrder = 0;  // as inet_addr lays it out (the older protocol's)
    std::uint32_t hostOrder = 0;     // the first part in the most significant byte (the newer one's)
};

// The texts (never null) are the caller's and must outlive the request; the log lines print them.
struct WritePuRequest {
    const char* szPuIP = "";
    std::uint16_t lPuPort = 0;
    const char* szPlatIP = "";
    std::uint16_t lPlatPort = 0;
    const char* szPuId = "";
    const char* szNewName = "";
    const char* szNewIp = "";
    Ipv4Address platAddr;
    Ipv4Address newAddr;
};

// kErrPuNone with *request filled in when the three addresses are dotted-decimal IPv4
// texts and both ports are port numbers. Else *request stays as it was, with
// kErrPuBadIpText for an address (checked first) or kErrPuBadSize for a port. A null PU
// id or name reads as an empty text.
int ParseWritePuRequest(const char* szPuIP, std::uint32_t lPuPort, const char* szPlatIP,
                        std::uint32_t lPlatPort, const char* szPuId, const char* szNewName,
                        const char* szNewIp, WritePuRequest* request);
