// A GUID from its registry text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" at compile time,
// so that a GUID written once is also the GUID the code compares against; a malformed
// text does not compile. It is written as its bare digits, the form an IDL file's uuid()
// takes; ACTIVEX_GUID_TEXT makes the text (plain preprocessor: widl and windres read it too).
#pragma once

#define ACTIVEX_GUID_TEXT(digits) ACTIVEX_STRINGIZE_({digits})
#define ACTIVEX_STRINGIZE_(text) #text
/* A type library's version as its registry key names it, "major.minor", from the numbers. */
#define ACTIVEX_VERSION_TEXT(major, minor) ACTIVEX_NUMBER_TEXT_(major) "." ACTIVEX_NUMBER_TEXT_(minor)
#define ACTIVEX_NUMBER_TEXT_(number) ACTIVEX_STRINGIZE_(number)

#ifdef __cplusplus
#include <guiddef.h>

namespace activex {
namespace detail {

constexpr unsigned HexDigit(char c)
{
    return c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
           : c >= 'A' && c <= 'F' ? static_cast<unsigned>(c - 'A' + 10)
           : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                  : throw "not a hexadecimal digit";
}

constexpr unsigned long Hex(const char* text, int from, int digits)
{
    unsigned long value = 0;
    for (int i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[from + i]);
    return value;
}

}  // namespace detail

template <int N>
constexpr GUID GuidFromText(const char (&text)[N])
{
    static_assert(N == 39, "a GUID text has 38 characters: {8-4-4-4-12}");
    if (text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-' || text[37] != '}')
        throw "not a GUID text";
    GUID guid{};
    guid.Data1 = static_cast<decltype(guid.Data1)>(detail::Hex(text, 1, 8));
    guid.Data2 = static_cast<unsigned short>(detail::Hex(text, 10, 4));
    guid.Data3 = static_cast<unsigned short>(detail::Hex(text, 15, 4));
    const int byteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<unsigned char>(detail::Hex(text, byteAt[i], 2));
    return guid;
}

}  // namespace activex
#endif
