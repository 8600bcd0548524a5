// How byte strings are written into the store's text lines and read back.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devsim {

using Bytes = std::vector<std::uint8_t>;

// Values keep UTF-8 as it is; backslash, control bytes and blanks at either end
// become escapes (\\, \n, \r, \t, \xHH), so any value survives a round trip.
std::string EscapeValue(std::string_view raw);
std::optional<std::string> UnescapeValue(std::string_view escaped);

// Lower-case hex; trailing zero bytes are left out (the size is known elsewhere).
std::string ToHex(const Bytes& bytes);
// Fills `size` bytes: the hex digits from the start, zeros after. Fails on bad
// digits or on more bytes than `size`.
std::optional<Bytes> FromHex(std::string_view hex, std::size_t size);

}  // namespace devsim
