#include "recording_log.h"

#include <mutex>

#include "diag/write_log.h"

namespace {
std::mutex g_logLock;
std::vector<LoggedLine> g_lines;
std::function<void(const std::string&, const std::string&)> g_hook;
}  // namespace

int WriteLog(const char* function, int line, const char* message) noexcept
{
    LoggedLine kept{function ? function : "", line, message ? message : ""};
    {
        std::lock_guard<std::mutex> lock(g_logLock);
        g_lines.push_back(kept);
    }
    if (g_hook) g_hook(kept.function, kept.message);
    return 0;
}

void SetLogHook(std::function<void(const std::string& function, const std::string& message)> hook)
{
    g_hook = std::move(hook);
}

std::vector<LoggedLine> RecordedLog()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return g_lines;
}

void ClearRecordedLog()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_lines.clear();
}

std::vector<std::string> LoggedMessages(const std::string& function)
{
    std::vector<std::string> messages;
    for (const LoggedLine& line : RecordedLog())
        if (line.function == function) messages.push_back(line.message);
    return messages;
}

std::string WholeLog()
{
    std::string text;
    for (const LoggedLine& line : RecordedLog()) text += line.function + " " + line.message + "\n";
    return text;
}
