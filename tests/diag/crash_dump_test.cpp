// The crash filter: a child program faults, and leaves a dump and three log lines.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "crash_dump.h"
#include "diag_test_files.h"

namespace {

std::string ProgramDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.find_last_of('\\') + 1);
}

LONG WINAPI SomeoneElsesFilter(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }
LONG WINAPI ALaterFilter(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

}  // namespace

TEST(CrashDump, AFaultLeavesAFullDumpBesideTheLogAndLogsItInOrder)
{
    // A moment of its own (the second from the process id) so no other test's files meet these.
    const int second = static_cast<int>(GetCurrentProcessId() % 60);
    char secondText[3];
    snprintf(secondText, sizeof secondText, "%02d", second);
    const std::string dump = "C:\\orvex\\orvex_29123123" + std::string("59") + secondText + ".dmp";
    const std::string logPath = "C:\\orvex\\Log\\Log_2029_12_31.txt";
    DeleteFileA(dump.c_str());

    std::string command = "\"" + ProgramDirectory() + "diag_crash_probe.exe\" 2029 12 31 23 59 " + std::to_string(second);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 240000));
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), exitCode) << "ends as the fault, quietly";

    const std::string header = [&] {
        std::string bytes;
        if (FILE* file = std::fopen(dump.c_str(), "rb")) {
            char start[4] = {};
            bytes.assign(start, std::fread(start, 1, sizeof start, file));
            std::fclose(file);
        }
        return bytes;
    }();
    EXPECT_EQ("MDMP", header) << dump;

    const std::string log = ReadWholeFile(logPath);
    const std::string stamp = "[23:59:" + std::string(secondText) + "]";
    const std::size_t started = log.find(stamp + "CreateMiniDump:15 start create mini dump.\r\n");
    const std::size_t created = log.find(stamp + "CreateMiniDump:31 create strFilePath start.\r\n", started);
    const std::size_t filtered = log.find(stamp + "Cu_UnhandledExceptionFilter:72 " + dump + "\r\n", created);
    EXPECT_NE(std::string::npos, started) << log;
    EXPECT_NE(std::string::npos, created) << log;
    EXPECT_NE(std::string::npos, filtered) << log;

    DeleteFileA(dump.c_str());  // a full-memory dump is large
    DeleteFileA(logPath.c_str());
}

TEST(CrashDump, RestoringPutsThePreviousFilterBackButKeepsALaterOne)
{
    SetUnhandledExceptionFilter(&SomeoneElsesFilter);
    InstallCrashFilter();
    InstallCrashFilter();  // each control construction installs it again
    EXPECT_EQ(&Cu_UnhandledExceptionFilter, SetUnhandledExceptionFilter(&Cu_UnhandledExceptionFilter));
    RestoreCrashFilter();
    EXPECT_EQ(&SomeoneElsesFilter, SetUnhandledExceptionFilter(&SomeoneElsesFilter));

    InstallCrashFilter();
    LPTOP_LEVEL_EXCEPTION_FILTER later = &ALaterFilter;
    SetUnhandledExceptionFilter(later);  // someone installed a filter after ours
    RestoreCrashFilter();
    EXPECT_EQ(later, SetUnhandledExceptionFilter(nullptr));
}
