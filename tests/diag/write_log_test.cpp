// The log writer under Wine, each test under a root of its own with a set clock.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "diag_test_files.h"
#include "log_clock.h"
#include "log_root.h"
#include "write_log.h"

namespace {

std::atomic<int> g_clockReadings{0};
LogTime g_now{2030, 12, 31, 23, 59, 59};
LogTime g_later{2031, 1, 1, 0, 0, 0};

// The first reading gives g_now, every later one g_later.
LogTime SteppingClock() { return g_clockReadings++ == 0 ? g_now : g_later; }
LogTime FixedClock() { return g_now; }

class WriteLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = "C:\\orvex_logtest_" + std::to_string(GetCurrentProcessId()) + "_" + info->name() + "\\";
        RemoveTree(m_root);
        SetLogRootForTesting(m_root.c_str());
        g_now = LogTime{2030, 12, 31, 23, 59, 59};
        g_clockReadings = 0;
        SetLogClock(&FixedClock);
    }
    void TearDown() override
    {
        SetLogClock(nullptr);
        SetLogRootForTesting(nullptr);
        RemoveTree(m_root);
    }

    std::string DayFile(const char* day) const { return m_root + "Log\\Log_" + day + ".txt"; }

    std::string m_root;
};

}  // namespace

TEST_F(WriteLogTest, LineAndFileNameComeFromOneClockReading)
{
    SetLogClock(&SteppingClock);  // any second reading would already be in the next day
    EXPECT_EQ(0, WriteLog("PuManager::Connect", 42, "hello"));
    EXPECT_EQ(1, g_clockReadings.load());
    EXPECT_EQ("[23:59:59]PuManager::Connect:42 hello\r\n", ReadWholeFile(DayFile("2030_12_31")));
    EXPECT_FALSE(FileExists(DayFile("2031_01_01")));
}

TEST_F(WriteLogTest, LinesBeforeAndAfterMidnightGoToTwoDayFiles)
{
    EXPECT_EQ(0, WriteLog("f", 1, "last of the year"));
    g_now = LogTime{2031, 1, 1, 0, 0, 0};
    EXPECT_EQ(0, WriteLog("f", 2, "first of the year"));
    EXPECT_EQ("[23:59:59]f:1 last of the year\r\n", ReadWholeFile(DayFile("2030_12_31")));
    EXPECT_EQ("[00:00:00]f:2 first of the year\r\n", ReadWholeFile(DayFile("2031_01_01")));
}

TEST_F(WriteLogTest, AnExistingDayFileIsAppendedToNeverTruncated)
{
    CreateDirectoryA(m_root.c_str(), nullptr);
    CreateDirectoryA((m_root + "Log\\").c_str(), nullptr);
    WriteWholeFile(DayFile("2030_12_31"), "written by another process\r\n");
    EXPECT_EQ(0, WriteLog("f", 1, "one"));
    EXPECT_EQ(0, WriteLog("f", 2, "two"));
    EXPECT_EQ("written by another process\r\n[23:59:59]f:1 one\r\n[23:59:59]f:2 two\r\n",
              ReadWholeFile(DayFile("2030_12_31")));
}

TEST_F(WriteLogTest, FirstWriteCreatesTheLogFolderUnderAnExistingRoot)
{
    ASSERT_TRUE(CreateDirectoryA(m_root.c_str(), nullptr));
    EXPECT_FALSE(DirectoryExists(m_root + "Log"));
    EXPECT_EQ(0, WriteLog("f", 1, "x"));
    EXPECT_TRUE(DirectoryExists(m_root + "Log"));
}

TEST_F(WriteLogTest, DirectorySetUpRunsOnceSoARemovedFolderLosesLaterLines)
{
    EXPECT_EQ(0, WriteLog("f", 1, "first"));
    RemoveTree(m_root + "Log");
    ASSERT_FALSE(DirectoryExists(m_root + "Log"));
    EXPECT_EQ(-1, WriteLog("f", 2, "lost"));
    EXPECT_EQ(-1, WriteLog("f", 3, "lost too"));
    EXPECT_FALSE(DirectoryExists(m_root + "Log")) << "the set-up must not run again";
}

TEST_F(WriteLogTest, AFileHeldWithoutWriteSharingLosesOnlyThatLine)
{
    EXPECT_EQ(0, WriteLog("f", 1, "before"));
    HANDLE holder = CreateFileA(DayFile("2030_12_31").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(-1, WriteLog("f", 2, "lost"));
    CloseHandle(holder);
    EXPECT_EQ(0, WriteLog("f", 3, "after"));
    EXPECT_EQ("[23:59:59]f:1 before\r\n[23:59:59]f:3 after\r\n", ReadWholeFile(DayFile("2030_12_31")));
}

TEST_F(WriteLogTest, MessagesAreWrittenAsTheyStandAndLongOnesCutWithCrLf)
{
    EXPECT_EQ(0, WriteLog("f", 1, ""));
    EXPECT_EQ(0, WriteLog("f", 2, "a\r\nb\nc"));
    EXPECT_EQ(0, WriteLog("f", 3, std::string(5000, 'x').c_str()));
    const std::string text = ReadWholeFile(DayFile("2030_12_31"));
    const std::string expectedStart = "[23:59:59]f:1 \r\n[23:59:59]f:2 a\r\nb\nc\r\n[23:59:59]f:3 xxx";
    ASSERT_EQ(expectedStart, text.substr(0, expectedStart.size()));
    const std::size_t longLine = text.find("[23:59:59]f:3");
    EXPECT_EQ(2047u, text.size() - longLine);
    EXPECT_EQ("xx\r\n", text.substr(text.size() - 4));
}

TEST_F(WriteLogTest, ManyThreadsWritingAtOnceGiveOnlyWholeLines)
{
    constexpr int kThreads = 8;
    constexpr int kLinesEach = 150;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int n = 0; n < kLinesEach; ++n) {
                const std::string message = "T" + std::to_string(t) + "-" + std::to_string(n) + "-" + std::string(90, 'p');
                WriteLog("Worker::Run", 100 + t, message.c_str());
            }
        });
    }
    for (auto& thread : threads) thread.join();

    std::istringstream text(ReadWholeFile(DayFile("2030_12_31")));
    const std::regex whole(R"(\[23:59:59\]Worker::Run:(\d+) T(\d)-(\d+)-p{90}\r)");
    std::vector<int> nextOfThread(kThreads, 0);
    int lines = 0;
    for (std::string line; std::getline(text, line);) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, whole)) << "torn line: " << line;
        const int t = std::stoi(match[2]);
        EXPECT_EQ(100 + t, std::stoi(match[1]));
        EXPECT_EQ(nextOfThread[t]++, std::stoi(match[3])) << "each thread's lines stay in order";
        ++lines;
    }
    EXPECT_EQ(kThreads * kLinesEach, lines);
}
