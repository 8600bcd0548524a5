// The log's clock: the system's local time unless a test has set another.
#include "log_clock.h"

#include <windows.h>

#include <atomic>

namespace {

LogTime SystemLocalTime()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return LogTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::atomic<LogClock> g_clock{&SystemLocalTime};

}  // namespace

void SetLogClock(LogClock clock) { g_clock.store(clock ? clock : &SystemLocalTime); }

LogTime ReadLogClock() { return g_clock.load()(); }
