// A WriteLog that keeps every line in memory, for asserting what the code logged.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct LoggedLine {
    std::string function;
    int line;
    std::string message;
};

std::vector<LoggedLine> RecordedLog();
void ClearRecordedLog();
// The messages logged under one function name, in order.
std::vector<std::string> LoggedMessages(const std::string& function);
// Every line's text "function message", for searching the whole log.
std::string WholeLog();
// Runs after each line is kept, on the logging thread, outside the log's lock: a test
// acts at the exact moment a line is written. Null to stop; set it while no other thread logs.
void SetLogHook(std::function<void(const std::string& function, const std::string& message)> hook);
