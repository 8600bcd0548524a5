// What a write refuses before any device is touched: the control checks its arguments
// with this before it calls the registry, so a text or a port that a device cannot use
// costs no login and writes nothing.
#pragma once
#include <cstdint>

// The highest port number. Ports arrive as unsigned 32-bit values, so a negative number
// from a script arrives as its unsigned value and is above it as well.
constexpr std::uint32_t kMaxPortNumber = 65535;

// kErrPuNone when the device IP, the platform IP and the new IP are dotted-decimal IPv4
// texts and both ports are port numbers; kErrPuBadIpText for an address text, else
// kErrPuBadSize for a port.
int CheckWritePuArguments(const char* szPuIP, std::uint32_t lPuPort, const char* szPlatIP,
                          std::uint32_t lPlatPort, const char* szNewIp);
