// The HTTP port text of the login dialog: a whole decimal number, optionally signed,
// with blanks or tabs allowed around it. No range check beyond what an int32 holds:
// 0, negative numbers and numbers above 65535 are taken as typed.
#pragma once
#include <cstdint>
#include <string_view>

enum class PortTextResult {
    Ok,
    NotANumber,   // empty, letters, a lone sign, inner blanks ...
    OutOfRange,   // a whole number, but beyond the signed 32-bit range
};

struct PortText {
    PortTextResult result = PortTextResult::NotANumber;
    int32_t value = 0;   // meaningful only when result is Ok
};

PortText ParseHttpPort(std::u16string_view text);
