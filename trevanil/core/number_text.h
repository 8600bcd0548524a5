// Reading a decimal number the way atoi reads it, without its undefined overflow.
#pragma once
#include <cstdint>
#include <string_view>

// Optional leading white space (space, \t, \n, \v, \f, \r) and one sign, then decimal
// digits up to the first other character; a text without a leading number reads as 0.
// A value beyond the 32-bit range is clamped to INT32_MIN / INT32_MAX, so it stays out
// of any range check instead of wrapping into it. Independent of the C locale.
std::int32_t AtoiLike(std::string_view text);
