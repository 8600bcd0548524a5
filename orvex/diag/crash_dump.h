// The crash dump: a full memory dump of the process beside the log files when an
// exception escapes every handler, then a quiet end of the process.
#pragma once
#include <windows.h>

// The process's unhandled-exception filter: writes C:\orvex\orvex_yyMMddhhmmss.dmp,
// logs its path and returns EXCEPTION_EXECUTE_HANDLER (1).
LONG WINAPI Cu_UnhandledExceptionFilter(EXCEPTION_POINTERS* exceptionPointers);

// Writes a minidump of the whole process (type 0x1826) into filePath with DbgHelp,
// loaded just for this. exceptionPointers may be null.
void CreateMiniDump(EXCEPTION_POINTERS* exceptionPointers, const char* filePath);

// Makes Cu_UnhandledExceptionFilter the process's filter (the control calls this on
// each construction). The filter found at the first installation is kept.
void InstallCrashFilter();

// Puts the kept filter back if ours is still the process's filter. Runs by itself when
// the module is unloaded, so the process's filter never points into unloaded code.
void RestoreCrashFilter();
