// The module's one log writer. Every part of orvex records its steps through it.
//
// WriteLog appends "[hh:mm:ss]function:line message\r\n" to C:\orvex\Log\Log_Y_MM_DD.txt
// and returns 0, or -1 when the day's file could not be opened. It never throws and
// never fails its caller. The message is already formatted (see log_format.h).
#pragma once
#include "log_format.h"

int WriteLog(const char* function, int line, const char* message) noexcept;

// A call site passes its own qualified function name as a literal (the name the log
// shows, e.g. "PuManager::Connect") and its source line.
#define ORVEX_LOG(function, message) WriteLog((function), __LINE__, (message))

// The longest message a step formats; a longer one is cut (never overrun).
constexpr unsigned kLogMessageCapacity = 256;

// One step's line formatted from `format` and its arguments into a bounded buffer of its
// own, then written.
template <unsigned Capacity = kLogMessageCapacity, typename... Args>
void WriteLogFormatted(const char* function, int line, const char* format, Args... args) noexcept
{
    char message[Capacity];
    WriteLog(function, line, FormatLogMessage(message, format, args...));
}

#define ORVEX_LOGF(function, ...) WriteLogFormatted((function), __LINE__, __VA_ARGS__)
// The same with a step's own smaller capacity, where its lines are cut shorter.
#define ORVEX_LOGF_CUT(capacity, function, ...) WriteLogFormatted<(capacity)>((function), __LINE__, __VA_ARGS__)
