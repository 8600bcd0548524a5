// Text of the daily log: the day file's path and one line, both from one clock reading.
// Portable: formats into caller buffers, never beyond their capacity.
#pragma once
#include <cstddef>

// One reading of the local clock (calendar fields as the system gives them).
struct LogTime {
    int year;    // four digits, e.g. 2024
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59
};

constexpr std::size_t kLogPathCapacity = 260;   // the system's maximum path length
constexpr std::size_t kLogLineCapacity = 2048;  // at most 2047 characters and the terminator

// "<root>Log\Log_<year>_<MM>_<DD>.txt". False (and an empty buffer) when it does not fit.
bool FormatLogFilePath(char* buffer, std::size_t capacity, const char* root, const LogTime& time);

// "[hh:mm:ss]<function>:<line> <message>\r\n". A line longer than the buffer is cut so
// that it still ends with CR LF. Returns the number of bytes without the terminator.
std::size_t FormatLogLine(char* buffer, std::size_t capacity, const LogTime& time,
                          const char* function, int line, const char* message);

// "<root>orvex_<yy><MM><DD><hh><mm><ss>.dmp" with the year modulo 100. False (and an
// empty buffer) when it does not fit.
bool FormatDumpFilePath(char* buffer, std::size_t capacity, const char* root, const LogTime& time);
