#include "text_codec.h"

#include <cstdio>

namespace devsim {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendHexEscape(std::string& out, unsigned char c)
{
    char esc[5];
    std::snprintf(esc, sizeof esc, "\\x%02x", c);
    out += esc;
}

}  // namespace

std::string EscapeValue(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        const bool at_edge = i == 0 || i + 1 == raw.size();
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20 || c == 0x7F || (c == ' ' && at_edge)) AppendHexEscape(out, c);
        else out += static_cast<char>(c);
    }
    return out;
}

std::optional<std::string> UnescapeValue(std::string_view escaped)
{
    std::string out;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            out += escaped[i];
            continue;
        }
        if (++i >= escaped.size()) return std::nullopt;
        switch (escaped[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= escaped.size()) return std::nullopt;
            const int hi = HexDigit(escaped[i + 1]);
            const int lo = HexDigit(escaped[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

std::string ToHex(const Bytes& bytes)
{
    std::size_t used = bytes.size();
    while (used > 0 && bytes[used - 1] == 0) --used;
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(used * 2);
    for (std::size_t i = 0; i < used; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0xF];
    }
    return out;
}

std::optional<Bytes> FromHex(std::string_view hex, std::size_t size)
{
    if (hex.size() % 2 != 0 || hex.size() / 2 > size) return std::nullopt;
    Bytes out(size, 0);
    for (std::size_t i = 0; i < hex.size() / 2; ++i) {
        const int hi = HexDigit(hex[2 * i]);
        const int lo = HexDigit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return out;
}

}  // namespace devsim
