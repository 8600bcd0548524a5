// Bounded formatting of log messages into the caller's fixed buffer. A message that
// does not fit is cut; the buffer is never overrun and always zero-terminated.
#pragma once
#include <cstddef>
#include <cstdio>

template <std::size_t N, typename... Args>
const char* FormatLogMessage(char (&buffer)[N], const char* format, Args... args)
{
    static_assert(N > 0, "buffer must hold the terminator");
    int written = std::snprintf(buffer, N, format, args...);
    if (written < 0) buffer[0] = '\0';
    return buffer;
}

// Where a log line names a password: a non-empty one is shown as "***", an empty one stays empty.
inline const char* MaskedPassword(const char* password)
{
    return (password && password[0]) ? "***" : "";
}
