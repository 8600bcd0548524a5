// The Write checks against any texts (IP, port and path separated by line feeds): the
// compiled IP pattern agrees with the rule written out by hand, the port reading agrees
// with strtoll clamped to 32 bits, and the first failing check is the one reported.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "input_checks.h"
#include "number_text.h"
#include "pattern_matcher.h"

namespace {

// Four parts, single dots between; each part one or two digits, or three digits that do
// not begin with 0 and make at most 255.
bool IsPlatformIpByHand(std::string_view text)
{
    int parts = 0;
    for (;;) {
        const std::size_t dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        if (part.empty() || part.size() > 3) return false;
        for (const char c : part) {
            if (c < '0' || c > '9') return false;
        }
        if (part.size() == 3 && (part[0] == '0' || std::stoi(std::string(part)) > 255)) return false;
        ++parts;
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    return parts == 4;
}

// atoi's reading through the C library, clamped where atoi would be undefined.
std::int32_t AtoiByLibrary(std::string_view text)
{
    const std::string terminated(text);  // strtoll stops at the first NUL, as AtoiLike stops at any non-digit
    const long long value = std::strtoll(terminated.c_str(), nullptr, 10);
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::string_view NextText(std::string_view& rest)
{
    const std::size_t end = rest.find('\n');
    const std::string_view text = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const StartInputs inputs{NextText(rest), NextText(rest), NextText(rest)};

    // Compiled once: compiling dominates the time of a run, and the batch run target
    // covers compiling it per Write.
    static const std::unique_ptr<IPatternMatcher> ipPattern = CompilePattern(kPlatformIpPattern);
    FUZZ_CHECK(ipPattern);
    const bool ipValid = ipPattern->MatchWhole(inputs.platformIp);
    FUZZ_CHECK(ipValid == IsPlatformIpByHand(inputs.platformIp));

    const std::int32_t port = AtoiLike(inputs.port);
    FUZZ_CHECK(port == AtoiByLibrary(inputs.port));

    UiTextSlot expected = nullptr;
    if (inputs.platformIp.empty()) {
        expected = &UiTexts::textIpEmpty;
    } else if (!ipValid) {
        expected = &UiTexts::textIpInvalid;
    } else if (inputs.port.empty()) {
        expected = &UiTexts::textPortEmpty;
    } else if (port < 1 || port > 65535) {
        expected = &UiTexts::textPortRange;
    } else if (inputs.path.empty()) {
        expected = &UiTexts::textNoFile;
    }
    FUZZ_CHECK(CheckStartInputs(inputs, *ipPattern) == expected);
    return 0;
}
