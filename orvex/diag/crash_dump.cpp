#include "crash_dump.h"

#include <dbghelp.h>

#include <mutex>

#include "log_clock.h"
#include "log_line.h"
#include "log_root.h"
#include "activex/unique_handle.h"
#include "write_log.h"

namespace {

// MiniDumpWithFullMemory | WithHandleData | WithUnloadedModules | WithFullMemoryInfo | WithThreadInfo
constexpr MINIDUMP_TYPE kDumpType = static_cast<MINIDUMP_TYPE>(0x1826);
static_assert((MiniDumpWithFullMemory | MiniDumpWithHandleData | MiniDumpWithUnloadedModules |
               MiniDumpWithFullMemoryInfo | MiniDumpWithThreadInfo) == 0x1826,
              "dump type is the documented combination");

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

std::mutex g_filterMutex;
bool g_filterInstalled = false;
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;

// Restores the previous filter when the module's statics are torn down (unload).
struct FilterRestorer {
    ~FilterRestorer() { RestoreCrashFilter(); }
} g_filterRestorer;

}  // namespace

void CreateMiniDump(EXCEPTION_POINTERS* exceptionPointers, const char* filePath)
{
    WriteLog("CreateMiniDump", 15, "start create mini dump.");

    activex::UniqueHModule dbgHelp(LoadLibraryA("DbgHelp.dll"));
    if (!dbgHelp) {
        WriteLog("CreateMiniDump", 19, "load DbgHelp.dll fail.");
        return;
    }
    auto writeDump = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(dbgHelp.get(), "MiniDumpWriteDump")));
    if (!writeDump) {
        WriteLog("CreateMiniDump", 26, "mini dump is null.");
        return;
    }

    WriteLog("CreateMiniDump", 31, "create strFilePath start.");
    activex::UniqueFileHandle file(CreateFileA(filePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        WriteLog("CreateMiniDump", 37, "create strFilePath fail.");
        return;
    }

    MINIDUMP_EXCEPTION_INFORMATION exceptionInfo{};
    exceptionInfo.ThreadId = GetCurrentThreadId();
    exceptionInfo.ExceptionPointers = exceptionPointers;
    exceptionInfo.ClientPointers = FALSE;
    writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.get(), kDumpType,
              exceptionPointers ? &exceptionInfo : nullptr, nullptr, nullptr);  // result not checked
}

LONG WINAPI Cu_UnhandledExceptionFilter(EXCEPTION_POINTERS* exceptionPointers)
{
    const LogTime now = ReadLogClock();
    char dumpPath[kLogPathCapacity];
    FormatDumpFilePath(dumpPath, sizeof dumpPath, LogRootPath(), now);
    CreateMiniDump(exceptionPointers, dumpPath);
    WriteLog("Cu_UnhandledExceptionFilter", 72, dumpPath);
    return EXCEPTION_EXECUTE_HANDLER;
}

void InstallCrashFilter()
{
    std::lock_guard<std::mutex> hold(g_filterMutex);
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&Cu_UnhandledExceptionFilter);
    if (!g_filterInstalled) {
        g_previousFilter = previous;
        g_filterInstalled = true;
    }
}

void RestoreCrashFilter()
{
    std::lock_guard<std::mutex> hold(g_filterMutex);
    if (!g_filterInstalled) return;
    LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(g_previousFilter);
    if (current != &Cu_UnhandledExceptionFilter) SetUnhandledExceptionFilter(current);  // someone else's: keep it
    g_filterInstalled = false;
    g_previousFilter = nullptr;
}
