#include "recording_log.h"

#include <mutex>

#include "diag/write_log.h"

namespace {
std::mutex g_logLock;
std::vector<LoggedLine> g_lines;
}  // namespace

int WriteLog(const char* function, int line, const char* message) noexcept
{
    std::lock_guard<std::mutex> lock(g_logLock);
    g_lines.push_back({function ? function : "", line, message ? message : ""});
    return 0;
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
