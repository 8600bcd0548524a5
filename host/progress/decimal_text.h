// A record's counts as text: decimal digits only, at most 18 (below 2^63 whatever they
// are), nothing else. Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace trevanil_host {

inline std::optional<std::uint64_t> ParseDecimal(std::string_view text)
{
    constexpr std::size_t kMaxDigits = 18;
    if (text.empty() || text.size() > kMaxDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

} // namespace trevanil_host
