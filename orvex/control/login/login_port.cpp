#include "login_port.h"

#include <cstddef>

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

PortText ParseHttpPort(std::u16string_view text)
{
    std::size_t pos = 0;
    const std::size_t end = text.size();
    while (pos < end && IsBlank(text[pos])) ++pos;

    bool negative = false;
    if (pos < end && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }

    // The magnitude is kept up to one past the int32 limit; longer numbers stay
    // "too large" without overflowing the accumulator.
    const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
    int64_t magnitude = 0;
    bool tooLarge = false;
    const std::size_t digitsStart = pos;
    while (pos < end && IsDigit(text[pos])) {
        if (!tooLarge) {
            magnitude = magnitude * 10 + (text[pos] - u'0');
            tooLarge = magnitude > limit;
        }
        ++pos;
    }
    if (pos == digitsStart) return {};

    while (pos < end && IsBlank(text[pos])) ++pos;
    if (pos != end) return {};

    if (tooLarge) return {PortTextResult::OutOfRange, 0};
    return {PortTextResult::Ok, static_cast<int32_t>(negative ? -magnitude : magnitude)};
}
