#include "ipv4_text.h"

#include <cstring>

namespace {

// Reads one part of the address: 1 to 3 digits, value at most 255.
bool ReadPart(const char*& cursor, std::uint8_t& part)
{
    unsigned value = 0;
    int digits = 0;
    while (*cursor >= '0' && *cursor <= '9') {
        if (++digits > 3) return false;
        value = value * 10 + static_cast<unsigned>(*cursor - '0');
        ++cursor;
    }
    if (digits == 0 || value > 255) return false;
    part = static_cast<std::uint8_t>(value);
    return true;
}

// The 32-bit value whose bytes in memory are bytes[0..3], on any host.
std::uint32_t FromMemoryBytes(const std::uint8_t (&bytes)[4])
{
    std::uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

}  // namespace

std::optional<std::uint32_t> ParseIpv4NetworkOrder(const char* text)
{
    if (!text) return std::nullopt;
    std::uint8_t parts[4] = {};
    const char* cursor = text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && *cursor++ != '.') return std::nullopt;
        if (!ReadPart(cursor, parts[i])) return std::nullopt;
    }
    if (*cursor != '\0') return std::nullopt;
    return FromMemoryBytes(parts);
}

std::uint32_t InetAddr(const char* text)
{
    return ParseIpv4NetworkOrder(text).value_or(kInAddrNone);
}

std::uint32_t HostToNetwork32(std::uint32_t value)
{
    const std::uint8_t bigEndian[4] = {
        static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
        static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    return FromMemoryBytes(bigEndian);
}

std::uint32_t NetworkToHost32(std::uint32_t value)
{
    return HostToNetwork32(value);
}
