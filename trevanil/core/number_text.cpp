#include "number_text.h"

#include <limits>

namespace {

bool IsAtoiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int32_t AtoiLike(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsAtoiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude up to one past INT32_MAX's, which covers INT32_MIN too;
    // later digits can only push it further out, so the clamp is decided by then.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kLimit) magnitude = kLimit + 1;
    }
    if (negative) {
        return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::min()
                                   : static_cast<std::int32_t>(-magnitude);
    }
    return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max()
                               : static_cast<std::int32_t>(magnitude);
}
