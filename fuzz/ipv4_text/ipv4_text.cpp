// The IP text check against any bytes: it reads nothing past the terminator, accepts
// exactly four dot-separated decimal numbers 0-255 of 1 to 3 digits, returns their bytes
// in order, agrees with InetAddr, and accepts its own canonical text for the value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "ipv4_text.h"

namespace {

// The grammar written the other way round: cut at the dots, then look at each part.
std::optional<std::uint32_t> SplitAndRead(const char* text)
{
    std::string parts[4];
    int count = 0;
    for (const char* c = text; *c; ++c) {
        if (*c == '.') {
            if (++count == 4) return std::nullopt;
        } else {
            parts[count] += *c;
        }
    }
    if (count != 3) return std::nullopt;
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) {
        const std::string& part = parts[i];
        if (part.empty() || part.size() > 3) return std::nullopt;
        unsigned value = 0;
        for (char digit : part) {
            if (digit < '0' || digit > '9') return std::nullopt;
            value = value * 10 + unsigned(digit - '0');
        }
        if (value > 255) return std::nullopt;
        bytes[i] = std::uint8_t(value);
    }
    std::uint32_t inMemory;
    std::memcpy(&inMemory, bytes, sizeof inMemory);
    return inMemory;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Exactly the input and its terminator: a read past the terminator is caught.
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';

    const std::optional<std::uint32_t> parsed = ParseIpv4NetworkOrder(text.get());
    FUZZ_CHECK(parsed == SplitAndRead(text.get()));
    FUZZ_CHECK(InetAddr(text.get()) == parsed.value_or(kInAddrNone));

    if (parsed) {
        unsigned char bytes[4];
        std::memcpy(bytes, &*parsed, sizeof bytes);
        char canonical[16];
        std::snprintf(canonical, sizeof canonical, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
        FUZZ_CHECK(ParseIpv4NetworkOrder(canonical) == parsed);
        // Network order holds the first number in the first byte: the swap gives the
        // host-order value with that number on top, and swaps back.
        const std::uint32_t host = NetworkToHost32(*parsed);
        FUZZ_CHECK((host >> 24) == bytes[0] && (host & 0xFFu) == bytes[3]);
        FUZZ_CHECK(HostToNetwork32(host) == *parsed);
    }
    return 0;
}
