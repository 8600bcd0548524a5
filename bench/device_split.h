// The parts of one device's Connect + WritePu in the batch benchmark: what the stand-in
// device library costs on its own, what the day's log costs, and whether restarts ran
// meanwhile; orvex's own share is what remains.
#pragma once
#include <string>

struct LogTally {
    long lines = 0;     // lines in the day's log file
    long restarts = 0;  // of those, restarts taken ("TakePuOnline success")
};

// The day's log of orvex (C:\orvex\Log\Log_YYYY_MM_DD.txt), counted now.
LogTally CountTodaysLog();

// What one log line costs when written as WriteLog writes it (open, append, close).
double SecondsPerLogLine();

// The older-protocol library's calls of the benchmark's writes, made straight into
// halcyra.dll (already loaded by orvex): `rounds` rounds over `devices` devices at
// prefix+firstHost.., the first with a login, the later ones on the live connection.
// Seconds per device; negative when the library is not there.
double StandInSecondsPerDevice(const std::string& prefix, int firstHost, int devices, int rounds);
