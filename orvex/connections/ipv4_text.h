// Dotted-decimal IPv4 text and the byte orders the device libraries want, without
// the socket library: the values inet_addr, htonl and ntohl give, except that every
// part is decimal ("010" is ten, not octal eight as inet_addr reads it).
#pragma once
#include <cstdint>
#include <optional>

// inet_addr's value for a text it cannot read.
constexpr std::uint32_t kInAddrNone = 0xFFFFFFFFu;

// Exactly four dot-separated decimal numbers 0..255 (1 to 3 digits each, nothing else):
// the address in network byte order, as inet_addr lays it out. Anything else: nothing.
std::optional<std::uint32_t> ParseIpv4NetworkOrder(const char* text);

// As inet_addr: kInAddrNone for a text that is not a dotted-decimal address.
std::uint32_t InetAddr(const char* text);

// Host to network byte order and back (the same swap either way).
std::uint32_t HostToNetwork32(std::uint32_t value);
std::uint32_t NetworkToHost32(std::uint32_t value);
