#include "log_line.h"

#include <cstdio>

namespace {

const char* TextOrEmpty(const char* text) { return text ? text : ""; }

// snprintf's result says whether the whole text fitted; a cut path is no path at all.
bool FittedWhole(int written, char* buffer, std::size_t capacity)
{
    if (written >= 0 && static_cast<std::size_t>(written) < capacity) return true;
    if (capacity > 0) buffer[0] = '\0';
    return false;
}

}  // namespace

bool FormatLogFilePath(char* buffer, std::size_t capacity, const char* root, const LogTime& time)
{
    int written = std::snprintf(buffer, capacity, "%sLog\\Log_%d_%02d_%02d.txt", TextOrEmpty(root),
                                time.year, time.month, time.day);
    return FittedWhole(written, buffer, capacity);
}

bool FormatDumpFilePath(char* buffer, std::size_t capacity, const char* root, const LogTime& time)
{
    int written = std::snprintf(buffer, capacity, "%sorvex_%02d%02d%02d%02d%02d%02d.dmp", TextOrEmpty(root),
                                time.year % 100, time.month, time.day, time.hour, time.minute, time.second);
    return FittedWhole(written, buffer, capacity);
}

std::size_t FormatLogLine(char* buffer, std::size_t capacity, const LogTime& time,
                          const char* function, int line, const char* message)
{
    if (capacity == 0) return 0;
    int written = std::snprintf(buffer, capacity, "[%02d:%02d:%02d]%s:%d %s\r\n", time.hour, time.minute,
                                time.second, TextOrEmpty(function), line, TextOrEmpty(message));
    if (written < 0) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t length = static_cast<std::size_t>(written);
    if (length < capacity) return length;

    // Too long for the buffer: keep what fits and end it with CR LF all the same.
    length = capacity - 1;
    if (length >= 2) {
        buffer[length - 2] = '\r';
        buffer[length - 1] = '\n';
    }
    buffer[length] = '\0';
    return length;
}
