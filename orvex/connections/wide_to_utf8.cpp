#include "wide_to_utf8.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Reads one code point at cursor and moves past it.
char32_t NextCodePoint(const char16_t*& cursor)
{
    char16_t unit = *cursor++;
    if (IsHighSurrogate(unit)) {
        if (IsLowSurrogate(*cursor)) {
            char16_t low = *cursor++;
            return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
        }
        return kReplacement;
    }
    if (IsLowSurrogate(unit)) return kReplacement;
    return unit;
}

// Encodes one code point into out (room for 4 bytes); returns its length.
std::size_t Encode(char32_t cp, unsigned char* out)
{
    if (cp < 0x80) {
        out[0] = static_cast<unsigned char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 4;
}

}  // namespace

int WideToUtf8(const char16_t* wide, char* buffer, std::size_t capacity)
{
    if (buffer && capacity > 0) buffer[0] = '\0';
    if (!wide || wide[0] == u'\0' || !buffer || capacity == 0) return 0;

    std::size_t used = 0;
    const char16_t* cursor = wide;
    while (*cursor != u'\0') {
        unsigned char encoded[4];
        std::size_t length = Encode(NextCodePoint(cursor), encoded);
        if (used + length + 1 > capacity) {  // keep room for the terminator
            std::memset(buffer, 0, used);     // nothing of a text that does not fit stays
            return 0;
        }
        for (std::size_t i = 0; i < length; ++i) buffer[used++] = static_cast<char>(encoded[i]);
    }
    buffer[used] = '\0';
    return static_cast<int>(used + 1);
}
