#include "ipv4.h"

#include <cstdio>
#include <cstring>

namespace devsim {

std::optional<Ipv4> ParseIpv4(std::string_view text)
{
    Ipv4 result = 0;
    int parts = 0;
    std::size_t pos = 0;
    while (parts < 4) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return std::nullopt;
        result = (result << 8) | value;
        ++parts;
        if (parts < 4) {
            if (pos >= text.size() || text[pos] != '.')
                return std::nullopt;
            ++pos;
        }
    }
    if (pos != text.size())
        return std::nullopt;
    return result;
}

std::string FormatIpv4(Ipv4 address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
    return text;
}

Ipv4 FromNetworkOrder(std::uint32_t in_memory)
{
    unsigned char bytes[4];
    std::memcpy(bytes, &in_memory, sizeof bytes);
    return (Ipv4{bytes[0]} << 24) | (Ipv4{bytes[1]} << 16) | (Ipv4{bytes[2]} << 8) | Ipv4{bytes[3]};
}

std::uint32_t ToNetworkOrder(Ipv4 address)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(address >> 24), static_cast<unsigned char>(address >> 16),
                                    static_cast<unsigned char>(address >> 8), static_cast<unsigned char>(address)};
    std::uint32_t in_memory;
    std::memcpy(&in_memory, bytes, sizeof in_memory);
    return in_memory;
}

}  // namespace devsim
