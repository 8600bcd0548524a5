// WideToUtf8 against any UTF-16 text and buffer size. Input: the first byte picks the
// buffer's capacity, the rest are UTF-16 units (little-endian pairs). Properties: nothing
// is written past the capacity; the output is strict UTF-8 that decodes back to the
// input with each unpaired surrogate as U+FFFD; a text that does not fit whole leaves
// the buffer empty and none of its bytes behind.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "wide_to_utf8.h"

namespace {

// Never a byte of UTF-8, so a leftover output byte cannot pass for an untouched one.
constexpr char kUntouched = '\xFF';

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// The units the output must decode to: the input up to its terminator, with each
// surrogate that is not part of a high-low pair replaced by U+FFFD.
std::u16string Expected(const char16_t* wide)
{
    std::u16string out;
    for (const char16_t* c = wide; *c; ++c) {
        const bool pairs = *c >= 0xD800 && *c <= 0xDBFF && c[1] >= 0xDC00 && c[1] <= 0xDFFF;
        if (pairs) {
            out += c[0];
            out += c[1];
            ++c;
        } else {
            out += IsSurrogate(*c) ? u'\xFFFD' : *c;
        }
    }
    return out;
}

// Strict UTF-8 decoding (shortest form, no surrogates, at most U+10FFFF) to UTF-16.
std::optional<std::u16string> DecodeUtf8(const std::string& bytes)
{
    std::u16string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int extra;
        char32_t cp;
        if (lead < 0x80) { extra = 0; cp = lead; }
        else if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1Fu; }
        else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0Fu; }
        else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07u; }
        else return std::nullopt;
        if (i + std::size_t(extra) >= bytes.size()) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        static const char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        if (cp >= 0x10000) {
            out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += char16_t(cp);
        }
        i += std::size_t(extra) + 1;
    }
    return out;
}

// Converts into a buffer of exactly `capacity` bytes; returns the result and the bytes.
int Convert(const char16_t* wide, std::size_t capacity, std::string& bytes)
{
    std::unique_ptr<char[]> buffer(new char[capacity]);
    std::memset(buffer.get(), kUntouched, capacity);
    const int result = WideToUtf8(wide, buffer.get(), capacity);
    bytes.assign(buffer.get(), capacity);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t capacity = data[0];
    const std::size_t units = (size - 1) / 2;
    std::unique_ptr<char16_t[]> wide(new char16_t[units + 1]);
    for (std::size_t i = 0; i < units; ++i)
        wide[i] = char16_t(data[1 + 2 * i] | (data[2 + 2 * i] << 8));
    wide[units] = u'\0';

    const std::u16string expected = Expected(wide.get());
    // Room for the worst case: three bytes per unit and the terminator.
    std::string whole;
    const int wholeResult = Convert(wide.get(), 3 * units + 1, whole);
    if (expected.empty()) {
        FUZZ_CHECK(wholeResult == 0);
    } else {
        FUZZ_CHECK(wholeResult > 0);
        const std::string text = whole.substr(0, std::size_t(wholeResult) - 1);
        FUZZ_CHECK(whole[std::size_t(wholeResult) - 1] == '\0');
        FUZZ_CHECK(text.find('\0') == std::string::npos);
        FUZZ_CHECK(DecodeUtf8(text) == expected);
    }

    std::string bytes;
    const int result = Convert(wide.get(), capacity, bytes);
    if (wholeResult > 0 && std::size_t(wholeResult) <= capacity) {
        FUZZ_CHECK(result == wholeResult);
        FUZZ_CHECK(bytes.compare(0, std::size_t(result), whole, 0, std::size_t(result)) == 0);
    } else {
        FUZZ_CHECK(result == 0);
        if (capacity > 0) FUZZ_CHECK(bytes[0] == '\0');
        for (char c : bytes) FUZZ_CHECK(c == '\0' || c == kUntouched);
    }
    for (std::size_t i = std::size_t(result); result > 0 && i < capacity; ++i) FUZZ_CHECK(bytes[i] == kUntouched);

    FUZZ_CHECK(WideToUtf8(wide.get(), nullptr, capacity) == 0);
    return 0;
}
