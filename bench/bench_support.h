// What the benchmark programs share: the clock, and where the day's log of orvex lies.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

// Seconds on the performance counter.
inline double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

// The day's log file under a log root ending in a backslash: ROOTLog\Log_YYYY_MM_DD.txt.
inline std::string TodaysLogPath(const char* root)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%sLog\\Log_%d_%02d_%02d.txt", root, now.wYear, now.wMonth, now.wDay);
    return path;
}
