// The clock the log and the crash dump read. Replaceable so that tests can write at
// any moment (for instance one second before midnight).
#pragma once
#include "log_line.h"

using LogClock = LogTime (*)();

// Sets the clock (null: back to the system's local time).
void SetLogClock(LogClock clock);

// One reading of the clock in use.
LogTime ReadLogClock();
