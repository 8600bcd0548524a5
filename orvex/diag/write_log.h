// The module's one log writer. Every part of orvex records its steps through it.
//
// WriteLog appends "[hh:mm:ss]function:line message\r\n" to C:\orvex\Log\Log_Y_MM_DD.txt
// and returns 0, or -1 when the day's file could not be opened. It never throws and
// never fails its caller. The message is already formatted (see log_format.h).
#pragma once

int WriteLog(const char* function, int line, const char* message) noexcept;

// A call site passes its own qualified function name as a literal (the name the log
// shows, e.g. "PuManager::Connect") and its source line.
#define ORVEX_LOG(function, message) WriteLog((function), __LINE__, (message))
