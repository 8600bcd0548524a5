// Dotted-decimal IPv4 addresses and the two byte orders the device libraries use.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devsim {

// The address as a number with the first part of the text in the top byte.
using Ipv4 = std::uint32_t;

// Strict: four decimal parts 0..255, no blanks, no leading "+", at most 3 digits each.
std::optional<Ipv4> ParseIpv4(std::string_view text);
std::string FormatIpv4(Ipv4 address);

// Network order: the value as inet_addr returns it, i.e. the bytes a.b.c.d in memory.
Ipv4 FromNetworkOrder(std::uint32_t in_memory);
std::uint32_t ToNetworkOrder(Ipv4 address);

}  // namespace devsim
