// The simulated devices' store parser against any text. Properties: it never crashes
// nor throws; a refused text is named by a line that exists; every device it accepts is
// kept under the address text the libraries look it up by; an accepted store written
// back out reads again as the same store (the tool and the libraries rewrite the file
// on every change, so a store that does not survive its own round trip loses devices).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "ipv4.h"
#include "store_format.h"

namespace {

// "line N: ..." with 1 <= N <= the number of lines of the text.
bool NamesALineOf(const std::string& error, std::string_view text)
{
    if (error.compare(0, 5, "line ") != 0) return false;
    std::size_t at = 5;
    unsigned long number = 0;
    while (at < error.size() && error[at] >= '0' && error[at] <= '9' && number < 100000000)
        number = number * 10 + unsigned(error[at++] - '0');
    if (at == 5 || error.compare(at, 2, ": ") != 0) return false;
    std::size_t lines = 1;
    for (char c : text) lines += c == '\n';
    return number >= 1 && number <= lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    devsim::StoreData store;
    std::string error;
    if (!devsim::ParseStore(text, store, error)) {
        FUZZ_CHECK(NamesALineOf(error, text));
        return 0;
    }

    for (const auto& [address, device] : store.devices) {
        const auto parsed = devsim::ParseIpv4(address);
        FUZZ_CHECK(parsed && devsim::FormatIpv4(*parsed) == address);
        FUZZ_CHECK(device.address == address);
    }

    const std::string written = devsim::SerializeStore(store);
    devsim::StoreData again;
    error.clear();
    const bool reread = devsim::ParseStore(written, again, error);
    if (!reread) std::fprintf(stderr, "written store refused: %s\n", error.c_str());
    FUZZ_CHECK(reread);
    FUZZ_CHECK(devsim::SerializeStore(again) == written);
    FUZZ_CHECK(again.devices.size() == store.devices.size());
    return 0;
}
