// The daily log writer: one lock held for each whole line; open, append and close per
// line, so every line is on disk when WriteLog returns.
#include "write_log.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "critical_section.h"
#include "log_clock.h"
#include "log_line.h"
#include "log_root.h"
#include "activex/unique_handle.h"

namespace {

// Everything below is touched only while g_logLock is held.
bool g_initialised = false;
const char* g_configuredRoot = kLogRoot;
char g_logRoot[kLogPathCapacity];
char g_filePath[kLogPathCapacity];
char g_line[kLogLineCapacity];

// False before the lock is constructed and after it is destroyed (module load and
// unload): a line written then is dropped instead of touching a dead lock.
std::atomic<bool> g_lockAlive{false};

struct LogLock : CriticalSection {
    LogLock() { g_lockAlive.store(true); }
    ~LogLock() { g_lockAlive.store(false); }
} g_logLock;

// The one-time directory set-up; the first WriteLog of the process runs it.
void InitLogDir()
{
    CriticalSectionHold hold(g_logLock);  // re-entrant: WriteLog already holds it
    if (g_initialised) return;

    const char* root = g_configuredRoot;
    if (GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) CreateDirectoryA(root, nullptr);
    std::snprintf(g_logRoot, sizeof g_logRoot, "%s", root);

    // Created without looking first; "already exists" is as good as success.
    char logDir[kLogPathCapacity];
    if (std::snprintf(logDir, sizeof logDir, "%sLog\\", g_logRoot) < static_cast<int>(sizeof logDir))
        CreateDirectoryA(logDir, nullptr);

    // Set whatever the steps above achieved: the set-up never runs twice.
    g_initialised = true;
}

}  // namespace

const char* LogRootPath()
{
    if (!g_lockAlive.load()) return kLogRoot;
    CriticalSectionHold hold(g_logLock);
    return g_configuredRoot;
}

void SetLogRootForTesting(const char* root)
{
    CriticalSectionHold hold(g_logLock);
    g_configuredRoot = root ? root : kLogRoot;
    g_initialised = false;
}

int WriteLog(const char* function, int line, const char* message) noexcept
{
    if (!g_lockAlive.load()) return -1;
    try {
        CriticalSectionHold hold(g_logLock);
        if (!g_initialised) InitLogDir();

        const LogTime now = ReadLogClock();  // names the file and stamps the line
        if (!FormatLogFilePath(g_filePath, sizeof g_filePath, g_logRoot, now)) return -1;

        activex::UniqueFileHandle file(CreateFileA(g_filePath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return -1;
        SetFilePointer(file.get(), 0, nullptr, FILE_END);

        const std::size_t length = FormatLogLine(g_line, sizeof g_line, now, function, line, message);
        DWORD written = 0;
        WriteFile(file.get(), g_line, static_cast<DWORD>(length), &written, nullptr);  // outcome not needed
        return 0;
    } catch (...) {
        return -1;  // logging never fails its caller
    }
}
